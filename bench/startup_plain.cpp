// The calculator's window as a Qt programmer would write it in an afternoon, straight
// onto Qt's widgets: the form's own controls, texts, font, colours, geometry, style and
// icon, read from its description, but without the platform layer that builds the real
// window. The start-up bench's peer. The controls are made in their tab order, which Qt
// then follows.

#include "bench/firstpaint.h"
#include "form/description.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

void colour(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QLabel *label(
    const QString &text, const QColor &face, int x, int y, int width, int height, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, width, height);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAutoFillBackground(true);
    colour(label, QPalette::Window, face);
    return label;
}

QPlainTextEdit *box(int x, int y, int width, int height, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setGeometry(x, y, width, height);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setTabChangesFocus(true);
    box->setReadOnly(true);
    return box;
}

QLineEdit *field(int x, int y, int width, int height, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setGeometry(x, y, width, height);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

QListWidget *list(const QStringList &entries, int x, int y, int width, int height, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(x, y, width, height);
    list->addItems(entries);
    return list;
}

QPushButton *button(
    const QString &text, const QColor &face, int x, int y, int width, int height, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(x, y, width, height);
    colour(button, QPalette::Button, face);
    return button;
}

QColor toColor(const platform::Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

int pixels(int twips)
{
    return qRound(twips / 15.0);
}

QWidget *control(const platform::ControlDescription &description, QWidget *parent)
{
    const int x = pixels(description.rect.left);
    const int y = pixels(description.rect.top);
    const int width = pixels(description.rect.width);
    const int height = pixels(description.rect.height);
    switch (description.kind) {
    case platform::ControlKind::Label:
        return label(
            description.caption, toColor(*description.backColor), x, y, width, height, parent);
    case platform::ControlKind::ListBox:
        return list(description.entries, x, y, width, height, parent);
    case platform::ControlKind::CommandButton:
        return button(
            description.caption, toColor(*description.backColor), x, y, width, height, parent);
    case platform::ControlKind::TextBox:
        if (description.multiLine) {
            QPlainTextEdit *shown = box(x, y, width, height, parent);
            shown->setPlainText(QString(description.text).replace(u"\r\n"_s, u"\n"_s));
            return shown;
        }
        QLineEdit *typed = field(x, y, width, height, parent);
        if (description.maxLength > 0)
            typed->setMaxLength(description.maxLength);
        return typed;
    }
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    application.setStyle(QStyleFactory::create(u"Fusion"_s));

    const platform::FormDescription &form = velmoraDescription();
    QWidget window;
    window.setWindowTitle(form.caption);
    QIcon icon;
    for (const QString &file : form.iconFiles)
        icon.addFile(file);
    window.setWindowIcon(icon);
    QFont font(form.fontFamily);
    font.setPointSize(form.fontPointSize);
    window.setFont(font);
    colour(&window, QPalette::Window, toColor(form.backColor));
    window.setAutoFillBackground(true);
    window.setFixedSize(pixels(form.clientWidth), pixels(form.clientHeight));

    std::vector<const platform::ControlDescription *> tabOrder;
    for (const platform::ControlDescription &description : form.controls)
        tabOrder.push_back(&description);
    std::sort(tabOrder.begin(), tabOrder.end(),
        [](const auto *a, const auto *b) { return a->tabIndex < b->tabIndex; });
    for (const platform::ControlDescription *description : tabOrder)
        control(*description, &window)->setVisible(description->visible);

    FirstPaint probe(window);
    window.show();
    return application.exec();
}
