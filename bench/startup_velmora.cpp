#include "bench/firstpaint.h"
#include "form/velmora.h"
#include "platform/application.h"

int main(int argc, char **argv)
{
    platform::Application application(argc, argv);
    Velmora form;
    FirstPaint probe(form.window());
    form.window().start();
    return application.exec();
}
