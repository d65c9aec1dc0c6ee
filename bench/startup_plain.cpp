// The calculator's window as a Qt programmer would write it in an afternoon, straight
// onto Qt's widgets: the same sixteen controls, texts, font, colours, geometry, style and
// icon, without the form's table or the platform layer. The start-up bench's peer.
// The controls are made in their tab order, which Qt then follows.

#include "bench/firstpaint.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>

using namespace Qt::StringLiterals;

namespace {

const QString title = u"Калкулатор за цената на златото"_s;

const QString helpText
    = u"Златото е един от трите метала, чийто естествен цвят\n"
      "не е сив или сребрист: златото е жълто, осмият е\n"
      "синкав, а медта е оранжевочервена.\n"
      "Открай време хората търсят златото: то е служило за\n"
      "пари, влага се в бижута, а днес и в промишлеността.\n"
      "Другите благородни метали са среброто, платината,\n"
      "рутеният, родият, паладият, осмият и иридият.\n"
      "Златото е химически инертно и затова се нарича\n"
      "благороден метал. Чистотата му се мери с процента\n"
      "на примесите, обикновено с броя на деветките след\n"
      "десетичната запетая: всяка нова деветка вдига цената,\n"
      "често експоненциално. Карат е 1/24 тегловна част\n"
      "злато в сплавта; метричната система мери чистотата\n"
      "в хилядни, а 24-каратовото злато е чисто 99.99%.\n"
      "Въведете каратите на сплавта, теглото ѝ в тройунции,\n"
      "борсовата цена на една тройунция злато в долари\n"
      "(1 тройунция е равна на 31.1035 грама) и курса на долара\n"
      "в лева, и ще получите цената на грам инвестиционно\n"
      "злато и на сплавта в лева. Карати - процент злато:\n"
      "24-99.99%; 22-91.6%; 20-83.3%; 18-75%; 16-62.5%; 14-58.5%; 12-49.9%; 10-41.7%; 9-37.5%."
      " Прочетете още за цветното злато и металите, които го оцветяват, за каратите,"
      " предпочитани в различните краища на света, и за златния стандарт.\n"_s;

const QString hiddenSentence
    = u"Неприятното в това да си първият, направил нещо по \nправилния начин, е, че никой "
      "не оценява колко трудно е \nбило. \n"_s;

void colour(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

QLabel *label(const QString &text, int x, int y, int width, int height, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, width, height);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAutoFillBackground(true);
    colour(label, QPalette::Window, QColor(255, 192, 128));
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

QPushButton *button(const QString &text, const QColor &face, int x, int y, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(x, y, 73, 25);
    colour(button, QPalette::Button, face);
    return button;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    application.setStyle(QStyleFactory::create(u"Fusion"_s));

    QWidget window;
    window.setWindowTitle(u"www.velmora.example  "_s + title);
    QIcon icon;
    icon.addFile(u":/icons/velmora-32.png"_s);
    icon.addFile(u":/icons/velmora-48.png"_s);
    icon.addFile(u":/icons/velmora-64.png"_s);
    window.setWindowIcon(icon);
    QFont font(u"Times New Roman"_s);
    font.setPointSize(12);
    window.setFont(font);
    colour(&window, QPalette::Window, QColor(192, 192, 255));
    window.setAutoFillBackground(true);
    window.setFixedSize(481, 424);

    box(8, 216, 457, 201, &window)->setPlainText(helpText);
    QPlainTextEdit *hidden = box(40, 312, 449, 121, &window);
    hidden->setPlainText(hiddenSentence);
    hidden->hide();
    label(title, 64, 0, 329, 25, &window);
    const QStringList carats { u"24"_s, u"22"_s, u"20"_s, u"18"_s, u"16"_s, u"14"_s, u"12"_s,
        u"10"_s, u"9"_s };
    list(carats, 0, 56, 57, 118, &window);
    box(64, 56, 329, 121, &window);
    const QStringList purities { u"9999"_s, u"9160"_s, u"8330"_s, u"7500"_s, u"6250"_s, u"5850"_s,
        u"4990"_s, u"4170"_s, u"3750"_s };
    list(purities, 416, 8, 57, 42, &window)->hide();
    label(u"карати"_s, 0, 32, 57, 25, &window);
    label(u"метрична рафинираност, % злато"_s, 64, 32, 329, 25, &window);
    field(80, 184, 41, 27, &window)->setMaxLength(2);
    label(u"бр.унции"_s, 8, 184, 73, 25, &window);
    field(232, 184, 65, 27, &window);
    label(u"Цена - унция"_s, 128, 184, 105, 25, &window);
    field(400, 184, 65, 27, &window);
    label(u"Цена - долар"_s, 304, 184, 97, 25, &window);
    button(u"Изчисли"_s, QColor(0, 255, 0), 400, 56, &window);
    button(u"Изчисти"_s, QColor(255, 0, 0), 400, 128, &window);

    FirstPaint probe(window);
    window.show();
    return application.exec();
}
