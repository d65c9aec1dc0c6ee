// The program's start with a form described wrongly, as a programmer's mistake would leave
// it: it stops before its window shows, and says why where a Windows user sees it.
#include "platform/application.h"
#include "platform/window.h"

using namespace Qt::StringLiterals;

namespace {

class BrokenForm
{
public:
    BrokenForm()
        : m_window({ .name = u"Broken"_s,
              .controls = { { .name = { u"Label1"_s, 0 }, .labelFor = platform::ControlName {
                                                               u"Text1"_s, 0 } } } })
    { }

    platform::Window &window() { return m_window; }

private:
    platform::Window m_window;
};

} // namespace

int main(int argc, char **argv)
{
    return platform::launch<BrokenForm>({ .name = u"velmora"_s, .desktopFileName = {} }, argc, argv);
}
