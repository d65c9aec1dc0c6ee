#include "form/velmora.h"
#include "platform/application.h"

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    return platform::launch<Velmora>(
        { .name = u"velmora"_s, .desktopFileName = u"example.velmora.Velmora"_s }, argc, argv);
}
