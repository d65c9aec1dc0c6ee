#include "platform/window.h"

#include "calc/runtimeerror.h"
#include "platform/accessibility/accessibility.h"
#include "platform/contrast.h"
#include "platform/errorreport.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace platform {

struct Window::Control
{
    int tabIndex;
    QWidget *widget;
    std::unique_ptr<TextBoxControl> textBox;
    std::unique_ptr<ListBoxControl> listBox;
};

namespace {

QColor toColor(const Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void setBackColor(QWidget &widget, QPalette::ColorRole role, const Rgb &rgb)
{
    QPalette palette = widget.palette();
    palette.setColor(role, toColor(rgb));
    widget.setPalette(palette);
}

// The form's colours were chosen against black text. A dark or high-contrast desktop
// gives light text, which would all but vanish on the orange labels and the green and
// red buttons, so their text stays black whatever the desktop.
void setTextOnBackColor(QWidget &widget, QPalette::ColorRole role)
{
    QPalette palette = widget.palette();
    palette.setColor(role, Qt::black);
    widget.setPalette(palette);
}

// The boxes and the list hold what the user reads and types, so they take the desktop's
// colours: dark boxes on a dark desktop, and a high-contrast user's own colours, which
// were chosen for that user's eyes. Where a palette pairs colours too close to read
// (Qt's own white on pale blue for a selection is 3.7:1), the text turns black or white.
// The form carries the mended colours, so its controls inherit them as they are made.
void keepTextLegible(QWidget &form)
{
    const QPalette desktop = QApplication::palette();
    QPalette palette = form.palette();
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Text,
            standingOut(desktop.color(group, QPalette::Base), desktop.color(group, QPalette::Text),
                TextContrast));
        palette.setColor(group, QPalette::HighlightedText,
            standingOut(desktop.color(group, QPalette::Highlight),
                desktop.color(group, QPalette::HighlightedText), TextContrast));
    }
    form.setPalette(palette);
}

QWidget *makeTextBox(const ControlDescription &description, QWidget *parent,
    std::unique_ptr<TextBoxControl> &control)
{
    if (description.multiLine) {
        auto *edit = new QPlainTextEdit(parent);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setWordWrapMode(QTextOption::WordWrap);
        // Tab moves on through the form; it never lands in the text as a character.
        edit->setTabChangesFocus(true);
        control = std::make_unique<MultiLineTextBox>(*edit, description.announced);
    } else {
        auto *edit = new QLineEdit(parent);
        if (description.centred)
            edit->setAlignment(Qt::AlignCenter);
        // Qt cuts a line at 32767 characters unless told otherwise; a box without a limit
        // keeps everything pasted into it, and the calculation says what it makes of it.
        edit->setMaxLength(
            description.maxLength > 0 ? description.maxLength : std::numeric_limits<int>::max());
        if (description.maxLength > 0)
            edit->setValidator(new WholeCharacters(edit));
        control = std::make_unique<SingleLineTextBox>(*edit);
    }
    control->setLocked(description.locked);
    return &control->widget();
}

// "Text2(1)" names the control Text2 of index 1. Read by hand: a regular expression
// would load PCRE2 and JIT-compile the pattern, some 400 KiB of memory at start-up, most
// of what the window needed beyond the same window written plainly on Qt's widgets.
std::optional<std::pair<QString, std::int16_t>> arrayAndIndex(QStringView name)
{
    const qsizetype open = name.indexOf(u'(');
    if (open <= 0 || !name.endsWith(u')'))
        return std::nullopt;
    bool number = false;
    const std::int16_t index = name.sliced(open + 1, name.size() - open - 2).toShort(&number);
    if (!number)
        return std::nullopt;
    return std::pair(name.first(open).toString(), index);
}

} // namespace

// The program writes a report piece by piece. Its boxes show what a handler wrote once
// the handler is done, so the text is laid out once and a screen reader hears one change
// rather than a dozen fragments. The destructor also runs when a runtime error leaves the
// handler, so the error box appears over what was written up to then.
class Window::HeldDisplays
{
public:
    explicit HeldDisplays(const std::map<Key, std::unique_ptr<Control>> &controls)
        : m_controls(controls)
    {
        for (const auto &[key, control] : m_controls) {
            if (control->textBox)
                control->textBox->holdDisplay();
        }
    }
    ~HeldDisplays()
    {
        for (const auto &[key, control] : m_controls) {
            if (control->textBox)
                control->textBox->releaseDisplay();
        }
    }
    HeldDisplays(const HeldDisplays &) = delete;
    HeldDisplays &operator=(const HeldDisplays &) = delete;

private:
    const std::map<Key, std::unique_ptr<Control>> &m_controls;
};

Window::Window(const FormDescription &description)
{
    installAccessibility();
    // The layout is fixed: the window can be minimised and closed, never maximised or
    // resized.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setObjectName(description.name);
    setWindowTitle(description.caption);
    QIcon icon;
    for (const QString &file : description.iconFiles)
        icon.addFile(file);
    setWindowIcon(icon);
    QFont font(description.fontFamily);
    font.setPointSize(description.fontPointSize);
    font.setWeight(QFont::Normal);
    setFont(font);
    setBackColor(*this, QPalette::Window, description.backColor);
    keepTextLegible(*this);
    setAutoFillBackground(true);
    setFixedSize(pixels(description.clientWidth), pixels(description.clientHeight));

    // Qt gives every multi-line box an empty document of its own and lays it out at once in
    // the application's font, before the box takes the window's. The window shows nothing
    // in that font, yet loading it cost the start some 200 KiB, so the window's font stands
    // in while the controls are made. The application's font then counts as the program's
    // own: a desktop font changed while the program runs no longer reaches its menus.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(font);
    for (const ControlDescription &control : description.controls)
        addControl(control);
    QApplication::setFont(applicationFont);

    for (const ControlDescription &control : description.controls) {
        const std::optional<Key> named = arrayAndIndex(control.labelFor);
        if (!named)
            continue;
        QWidget &target = this->control(named->first, named->second);
        label(control.array, control.index).setBuddy(&target);
        if (target.accessibleName().isEmpty())
            target.setAccessibleName(control.caption);
    }

    std::vector<const Control *> tabOrder;
    for (const auto &[key, control] : m_controls) {
        if (control->widget->focusPolicy() != Qt::NoFocus && !control->widget->isHidden())
            tabOrder.push_back(control.get());
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
        [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1]->widget, tabOrder[i]->widget);
    if (!tabOrder.empty())
        m_firstInTabOrder = tabOrder.front()->widget;
}

void Window::changeEvent(QEvent *event)
{
    // The desktop switched to another theme while the program runs.
    if (event->type() == QEvent::ApplicationPaletteChange)
        keepTextLegible(*this);
    QWidget::changeEvent(event);
}

Window::~Window() = default;

int Window::pixels(int twips)
{
    return qRound(twips / 15.0);
}

void Window::addControl(const ControlDescription &description)
{
    auto control = std::make_unique<Control>();
    control->tabIndex = description.tabIndex;

    switch (description.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(description.caption, this);
        label->setAlignment(
            description.centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        control->widget = label;
        break;
    }
    case ControlKind::ListBox: {
        auto *list = new ListBoxWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->addItems(description.entries);
        control->listBox = std::make_unique<ListBoxControl>(*list);
        const ListBoxControl *box = control->listBox.get();
        const QString array = description.array;
        const std::int16_t index = description.index;
        connect(list, &QListWidget::itemSelectionChanged, this, [this, box, array, index] {
            if (box->ListIndex() != -1)
                click(array, index);
        });
        control->widget = list;
        break;
    }
    case ControlKind::TextBox:
        control->widget = makeTextBox(description, this, control->textBox);
        break;
    case ControlKind::CommandButton: {
        auto *button = new GraphicalButton(description.caption, this);
        button->setAutoDefault(false);
        const QString array = description.array;
        const std::int16_t index = description.index;
        connect(button, &QPushButton::clicked, this, [this, array, index] { click(array, index); });
        control->widget = button;
        break;
    }
    }

    QWidget &widget = *control->widget;
    widget.setObjectName(u"%1(%2)"_s.arg(description.array).arg(description.index));
    widget.setAccessibleName(description.accessibleName);
    widget.setAccessibleDescription(description.accessibleDescription);
    if (description.backColor) {
        const bool button = description.kind == ControlKind::CommandButton;
        setBackColor(widget, button ? QPalette::Button : QPalette::Window, *description.backColor);
        setTextOnBackColor(widget, button ? QPalette::ButtonText : QPalette::WindowText);
    }
    const TwipsRect &rect = description.rect;
    widget.setGeometry(
        pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height));
    widget.setVisible(description.visible);
    // The first text comes once the box has its size, so that it is laid out only once.
    if (control->textBox)
        control->textBox->setText(description.caption);
    m_controls[Key(description.array, description.index)] = std::move(control);
}

const Window::Control &Window::find(const QString &array, std::int16_t index) const
{
    const auto found = m_controls.find(Key(array, index));
    if (found == m_controls.end()) {
        throw RuntimeError(
            ErrorKind::ControlArrayElementMissing, u"%1(%2)"_s.arg(array).arg(index));
    }
    return *found->second;
}

TextBoxControl &Window::textBox(const QString &array, std::int16_t index) const
{
    const Control &control = find(array, index);
    if (!control.textBox)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, array);
    return *control.textBox;
}

ListBoxControl &Window::listBox(const QString &array, std::int16_t index) const
{
    const Control &control = find(array, index);
    if (!control.listBox)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, array);
    return *control.listBox;
}

QAbstractButton &Window::button(const QString &array, std::int16_t index) const
{
    auto *button = qobject_cast<QAbstractButton *>(find(array, index).widget);
    if (!button)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, array);
    return *button;
}

QLabel &Window::label(const QString &array, std::int16_t index) const
{
    auto *label = qobject_cast<QLabel *>(find(array, index).widget);
    if (!label)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, array);
    return *label;
}

QWidget &Window::control(const QString &array, std::int16_t index) const
{
    return *find(array, index).widget;
}

void Window::onLoad(std::function<void()> handler)
{
    m_load = std::move(handler);
}

void Window::onClick(const QString &array, std::function<void(std::int16_t)> handler)
{
    m_click[array] = std::move(handler);
}

void Window::click(const QString &array, std::int16_t index)
{
    const auto handler = m_click.find(array);
    if (handler != m_click.end())
        run([&] { handler->second(index); });
}

void Window::run(const std::function<void()> &handler)
{
    runHandler(this, [&] {
        const HeldDisplays held(m_controls);
        handler();
    });
}

void Window::start()
{
    if (m_load)
        run(m_load);
    show();
    if (m_firstInTabOrder)
        m_firstInTabOrder->setFocus(Qt::OtherFocusReason);
}

} // namespace platform
