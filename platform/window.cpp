#include "platform/window.h"

#include "calc/runtimeerror.h"
#include "platform/accessibility/accessibility.h"
#include "platform/button.h"
#include "platform/contrast.h"
#include "platform/errorreport.h"
#include "platform/helptext.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace platform {

// One control of the form: its widget, and the adapter the calculation uses it through.
struct Window::Element
{
    int tabIndex = 0;
    bool visible = true;
    QWidget *widget = nullptr;
    std::unique_ptr<TextBoxAdapter> textBox;
    std::unique_ptr<ListBoxAdapter> listBox;
};

// The program writes a report piece by piece. Its boxes show what a handler wrote once
// the handler is done, so the text is laid out once and a screen reader hears one change
// rather than a dozen fragments. The destructor also runs when a runtime error leaves the
// handler, so the error box appears over what was written up to then.
class Window::HeldUpdates
{
public:
    explicit HeldUpdates(const std::map<ControlName, std::unique_ptr<Element>> &elements)
        : m_elements(elements)
    {
        for (const auto &[name, element] : m_elements) {
            if (element->textBox)
                element->textBox->holdUpdates();
        }
    }
    ~HeldUpdates()
    {
        for (const auto &[name, element] : m_elements) {
            if (element->textBox)
                element->textBox->releaseUpdates();
        }
    }
    HeldUpdates(const HeldUpdates &) = delete;
    HeldUpdates &operator=(const HeldUpdates &) = delete;

private:
    const std::map<ControlName, std::unique_ptr<Element>> &m_elements;
};

namespace {

// Shift+F1 would show a control's What's This text in a popup, which the form never had.
class WhatsThisKeyFilter final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        return key->key() == Qt::Key_F1 && key->modifiers().testFlag(Qt::ShiftModifier);
    }
};

} // namespace

Window::Window(const FormDescription &description)
    : m_whatsThisKeys(new WhatsThisKeyFilter(this))
{
    registerForm(*this, [this](const QWidget &control) { return hides(control); });
    try {
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

        for (const ControlDescription &control : description.controls)
            addControl(control);
        nameControlsByLabels(description);
        orderTabs();
    } catch (...) {
        forgetForm(*this);
        throw;
    }
}

Window::~Window()
{
    forgetForm(*this);
}

void Window::changeEvent(QEvent *event)
{
    // The desktop switched to another theme while the program runs.
    if (event->type() == QEvent::ApplicationPaletteChange)
        keepTextLegible(*this);
    QWidget::changeEvent(event);
}

int Window::pixels(int twips)
{
    return qRound(twips / 15.0);
}

void Window::addControl(const ControlDescription &description)
{
    if (m_elements.contains(description.name)) {
        throw DescriptionError(
            qPrintable(u"%1 is described twice"_s.arg(description.name.toString())));
    }
    m_building = &description;
    auto element = std::make_unique<Element>();
    element->tabIndex = description.tabIndex;
    element->visible = description.visible;

    switch (description.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(description.caption, this);
        label->setAlignment(
            description.centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        element->widget = label;
        break;
    }
    case ControlKind::ListBox: {
        auto *list = new ListBoxWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->addItems(description.entries);
        element->listBox = std::make_unique<ListBoxAdapter>(*list);
        const ListBoxAdapter *box = element->listBox.get();
        connect(
            list, &QListWidget::itemSelectionChanged, this, [this, box, name = description.name] {
                if (box->ListIndex() != -1)
                    click(name);
            });
        element->widget = list;
        break;
    }
    case ControlKind::TextBox:
        element->textBox = makeTextBox(description, this);
        element->widget = &element->textBox->widget();
        break;
    case ControlKind::CommandButton: {
        auto *button = new CommandButtonWidget(description.caption, this);
        button->setAutoDefault(false);
        connect(
            button, &QPushButton::clicked, this, [this, name = description.name] { click(name); });
        element->widget = button;
        break;
    }
    }

    QWidget &widget = *element->widget;
    widget.setObjectName(description.name.toString());
    widget.setAccessibleName(description.accessibleName);
    widget.setAccessibleDescription(description.accessibleDescription);
    if (!description.accessibleDescription.isEmpty()
        && giveHelpText(widget, description.accessibleDescription))
        widget.installEventFilter(m_whatsThisKeys);
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
    if (element->textBox)
        element->textBox->setText(description.text);
    m_elements[description.name] = std::move(element);
    m_building = nullptr;
}

// A label names the control it stands for to screen readers. A label that names a control
// the form does not have would leave that control without its spoken name, unnoticed.
void Window::nameControlsByLabels(const FormDescription &description)
{
    for (const ControlDescription &control : description.controls) {
        if (!control.labelFor)
            continue;
        const QString name = control.name.toString();
        if (control.kind != ControlKind::Label)
            throw DescriptionError(qPrintable(name + u" names another control, but is no label"_s));
        const auto target = m_elements.find(*control.labelFor);
        if (target == m_elements.end()) {
            throw DescriptionError(qPrintable(u"%1 names %2, which the form does not have"_s.arg(
                name, control.labelFor->toString())));
        }
        QWidget &widget = *target->second->widget;
        label(control.name).setBuddy(&widget);
        if (widget.accessibleName().isEmpty())
            widget.setAccessibleName(control.caption);
    }
}

void Window::orderTabs()
{
    std::vector<const Element *> tabOrder;
    for (const auto &[name, element] : m_elements) {
        if (element->widget->focusPolicy() != Qt::NoFocus && element->visible)
            tabOrder.push_back(element.get());
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
        [](const Element *a, const Element *b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1]->widget, tabOrder[i]->widget);
    if (!tabOrder.empty())
        m_firstInTabOrder = tabOrder.front()->widget;
}

// Whether the user never sees a control, as the description says. A control's visibility
// is fixed when the window is built and never changes afterwards; assistive technology asks
// about a control while it is still being made, and keeps what it was first told.
bool Window::hides(const QWidget &control) const
{
    for (const auto &[name, element] : m_elements) {
        if (element->widget == &control)
            return !element->visible;
    }
    return m_building && !m_building->visible;
}

const Window::Element &Window::find(const ControlName &name) const
{
    const auto found = m_elements.find(name);
    if (found == m_elements.end())
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, name.toString());
    return *found->second;
}

TextBoxAdapter &Window::textBox(const ControlName &name) const
{
    const Element &element = find(name);
    if (!element.textBox)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, name.toString());
    return *element.textBox;
}

ListBoxAdapter &Window::listBox(const ControlName &name) const
{
    const Element &element = find(name);
    if (!element.listBox)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, name.toString());
    return *element.listBox;
}

QAbstractButton &Window::button(const ControlName &name) const
{
    auto *button = qobject_cast<QAbstractButton *>(find(name).widget);
    if (!button)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, name.toString());
    return *button;
}

QLabel &Window::label(const ControlName &name) const
{
    auto *label = qobject_cast<QLabel *>(find(name).widget);
    if (!label)
        throw RuntimeError(ErrorKind::ControlArrayElementMissing, name.toString());
    return *label;
}

void Window::onLoad(std::function<void()> handler)
{
    m_load = std::move(handler);
}

void Window::onClick(const QString &array, std::function<void(std::int16_t)> handler)
{
    m_click[array] = std::move(handler);
}

void Window::click(const ControlName &name)
{
    const auto handler = m_click.find(name.array);
    if (handler != m_click.end())
        dispatch([&] { handler->second(name.index); });
}

void Window::dispatch(const std::function<void()> &handler)
{
    invokeHandler(this, [&] {
        const HeldUpdates held(m_elements);
        handler();
    });
}

void Window::start()
{
    if (m_load)
        dispatch(m_load);
    show();
    if (m_firstInTabOrder)
        m_firstInTabOrder->setFocus(Qt::OtherFocusReason);
}

} // namespace platform
