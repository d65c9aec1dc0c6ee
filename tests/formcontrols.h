#pragma once

// The controls of the form that its own code never reaches but the tests look at: the help
// text, the buttons and the labels, and any control's widget by its name, found as the
// window names its widgets.

#include "form/velmora.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>

inline platform::TextBoxAdapter &Text1(Velmora &form, std::int16_t index)
{
    return form.window().textBox({ QStringLiteral("Text1"), index });
}

inline QAbstractButton &Command1(Velmora &form, std::int16_t index)
{
    return form.window().button({ QStringLiteral("Command1"), index });
}

inline QLabel &Label1(Velmora &form, std::int16_t index)
{
    return form.window().label({ QStringLiteral("Label1"), index });
}

inline QWidget &controlWidget(const platform::Window &window, const platform::ControlName &name)
{
    auto *widget = window.findChild<QWidget *>(name.toString(), Qt::FindDirectChildrenOnly);
    if (!widget)
        qFatal("the window has no control %s", qPrintable(name.toString()));
    return *widget;
}

// How many entries a list shows.
inline int entries(platform::ListBoxAdapter &list)
{
    return static_cast<QListWidget &>(list.widget()).count();
}
