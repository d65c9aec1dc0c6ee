#include "form/description.h"

using namespace Qt::StringLiterals;
using platform::ControlKind;
using platform::ControlName;
using platform::Rgb;

namespace {

const QString title = u"Калкулатор за цената на златото"_s;

const Rgb formColor { 192, 192, 255 };
const Rgb labelColor { 255, 192, 128 };
const Rgb green { 0, 255, 0 };
const Rgb red { 255, 0, 0 };

// Each line ends in CR LF. All lines but the last are kept short enough to fit the box on
// one line, so they read as written rather than as the box happens to wrap them; the last,
// the carats with their shares of gold and what to read next, is one paragraph the box wraps.
const QString helpText
    = u"Златото е един от трите метала, чийто естествен цвят\r\n"
      "не е сив или сребрист: златото е жълто, осмият е\r\n"
      "синкав, а медта е оранжевочервена.\r\n"
      "Открай време хората търсят златото: то е служило за\r\n"
      "пари, влага се в бижута, а днес и в промишлеността.\r\n"
      "Другите благородни метали са среброто, платината,\r\n"
      "рутеният, родият, паладият, осмият и иридият.\r\n"
      "Златото е химически инертно и затова се нарича\r\n"
      "благороден метал. Чистотата му се мери с процента\r\n"
      "на примесите, обикновено с броя на деветките след\r\n"
      "десетичната запетая: всяка нова деветка вдига цената,\r\n"
      "често експоненциално. Карат е 1/24 тегловна част\r\n"
      "злато в сплавта; метричната система мери чистотата\r\n"
      "в хилядни, а 24-каратовото злато е чисто 99.99%.\r\n"
      "Въведете каратите на сплавта, теглото ѝ в тройунции,\r\n"
      "борсовата цена на една тройунция злато в долари\r\n"
      "(1 тройунция е равна на 31.1035 грама) и курса на долара\r\n"
      "в лева, и ще получите цената на грам инвестиционно\r\n"
      "злато и на сплавта в лева. Карати - процент злато:\r\n"
      "24-99.99%; 22-91.6%; 20-83.3%; 18-75%; 16-62.5%; 14-58.5%; 12-49.9%; 10-41.7%; 9-37.5%."
      " Прочетете още за цветното злато и металите, които го оцветяват, за каратите,"
      " предпочитани в различните краища на света, и за златния стандарт.\r\n"_s;

QStringList column(QString CaratRow::*field)
{
    QStringList entries;
    for (const CaratRow &row : caratTable())
        entries << row.*field;
    return entries;
}

const QString hiddenSentence
    = u"Неприятното в това да си първият, направил нещо по \r\nправилния начин, е, че никой "
      "не оценява колко трудно е \r\nбило. \r\n"_s;

} // namespace

const std::array<CaratRow, 9> &caratTable()
{
    static const std::array<CaratRow, 9> table { {
        { u"24"_s, u"9999"_s },
        { u"22"_s, u"9160"_s },
        { u"20"_s, u"8330"_s },
        { u"18"_s, u"7500"_s },
        { u"16"_s, u"6250"_s },
        { u"14"_s, u"5850"_s },
        { u"12"_s, u"4990"_s },
        { u"10"_s, u"4170"_s },
        { u"9"_s, u"3750"_s },
    } };
    return table;
}

// clang-format off
const platform::FormDescription &velmoraDescription()
{
    static const platform::FormDescription description{
        .name = u"Velmora"_s,
        .caption = u"www.velmora.example  "_s + title,
        // Qt decodes every picture of a window icon at start-up; the large ones would
        // cost the start more than the rest of the window does. Desktops take large
        // icons from the icon theme, where the package puts every size.
        .iconFiles = {u":/icons/velmora-32.png"_s, u":/icons/velmora-48.png"_s,
                      u":/icons/velmora-64.png"_s},
        .clientWidth = 7215,
        .clientHeight = 6360,
        .backColor = formColor,
        .fontFamily = u"Times New Roman"_s,
        .fontPointSize = 12,
        .controls = {
            {.name = {u"Label1"_s, 0}, .kind = ControlKind::Label,
             .rect = {960, 0, 4935, 375}, .tabIndex = 2, .caption = title,
             .backColor = labelColor, .centred = true},
            {.name = {u"Label1"_s, 1}, .kind = ControlKind::Label,
             .rect = {0, 480, 855, 375}, .tabIndex = 6, .caption = u"карати"_s,
             .backColor = labelColor, .centred = true, .labelFor = ControlName{u"List1"_s, 0}},
            {.name = {u"Label1"_s, 2}, .kind = ControlKind::Label,
             .rect = {960, 480, 4935, 375}, .tabIndex = 7,
             .caption = u"метрична рафинираност, % злато"_s,
             .backColor = labelColor, .centred = true, .labelFor = ControlName{u"Text2"_s, 0}},
            {.name = {u"Label1"_s, 3}, .kind = ControlKind::Label,
             .rect = {120, 2760, 1095, 375}, .tabIndex = 9, .caption = u"бр.унции"_s,
             .backColor = labelColor, .centred = true, .labelFor = ControlName{u"Text2"_s, 1}},
            {.name = {u"Label1"_s, 4}, .kind = ControlKind::Label,
             .rect = {1920, 2760, 1575, 375}, .tabIndex = 11, .caption = u"Цена - унция"_s,
             .backColor = labelColor, .centred = true, .labelFor = ControlName{u"Text2"_s, 2}},
            {.name = {u"Label1"_s, 5}, .kind = ControlKind::Label,
             .rect = {4560, 2760, 1455, 375}, .tabIndex = 13, .caption = u"Цена - долар"_s,
             .backColor = labelColor, .centred = true, .labelFor = ControlName{u"Text2"_s, 3}},
            {.name = {u"List1"_s, 0}, .kind = ControlKind::ListBox,
             .rect = {0, 840, 855, 1770}, .tabIndex = 3,
             .entries = column(&CaratRow::carat),
             .accessibleDescription = u"Каратите на златната сплав"_s},
            {.name = {u"List1"_s, 1}, .kind = ControlKind::ListBox,
             .rect = {6240, 120, 855, 630}, .tabIndex = 5,
             .entries = column(&CaratRow::fineness),
             .visible = false},
            {.name = {u"Text2"_s, 0}, .kind = ControlKind::TextBox,
             .rect = {960, 840, 4935, 1815}, .tabIndex = 4, .multiLine = true,
             .announce = true, .accessibleName = u"Справка"_s,
             .accessibleDescription = u"Цената на грам инвестиционно злато и на сплавта в лева"_s},
            {.name = {u"Text2"_s, 1}, .kind = ControlKind::TextBox,
             .rect = {1200, 2760, 615, 405}, .tabIndex = 8, .centred = true, .maxLength = 2,
             .accessibleDescription = u"Теглото на сплавта в тройунции"_s},
            {.name = {u"Text2"_s, 2}, .kind = ControlKind::TextBox,
             .rect = {3480, 2760, 975, 405}, .tabIndex = 10, .centred = true,
             .accessibleDescription = u"Борсовата цена на една тройунция злато в долари"_s},
            {.name = {u"Text2"_s, 3}, .kind = ControlKind::TextBox,
             .rect = {6000, 2760, 975, 405}, .tabIndex = 12, .centred = true,
             .accessibleDescription = u"Курсът на долара в лева"_s},
            {.name = {u"Command1"_s, 0}, .kind = ControlKind::CommandButton,
             .rect = {6000, 840, 1095, 375}, .tabIndex = 14, .caption = u"Изчисли"_s,
             .backColor = green,
             .accessibleDescription = u"Пише справката за избраните карати и въведените числа"_s},
            {.name = {u"Command1"_s, 1}, .kind = ControlKind::CommandButton,
             .rect = {6000, 1920, 1095, 375}, .tabIndex = 15, .caption = u"Изчисти"_s,
             .backColor = red,
             .accessibleDescription = u"Изчиства числата, избора на карати и справката"_s},
            {.name = {u"Text1"_s, 0}, .kind = ControlKind::TextBox,
             .rect = {120, 3240, 6855, 3015}, .tabIndex = 0, .text = helpText,
             .multiLine = true, .locked = true, .accessibleName = u"Пояснения"_s,
             .accessibleDescription = u"За златото, каратите и какво изчислява програмата"_s},
            {.name = {u"Text1"_s, 1}, .kind = ControlKind::TextBox,
             .rect = {600, 4680, 6735, 1815}, .tabIndex = 1, .text = hiddenSentence,
             .visible = false, .multiLine = true, .locked = true},
        },
    };
    return description;
}
// clang-format on
