#include "form/velmora.h"
#include "platform/application.h"

int main(int argc, char **argv)
{
    return platform::run<Velmora>(argc, argv);
}
