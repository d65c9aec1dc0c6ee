#include "bench/firstpaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(481, 424);
    QLabel label(QStringLiteral("Калкулатор за цената на златото"), &window);
    FirstPaint probe(window);
    window.show();
    return application.exec();
}
