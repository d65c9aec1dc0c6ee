#pragma once

// The list boxes of a window: the widget that draws one, and the adapter the calculation
// reads and selects it through (calc/priceform.h). The window (platform/window.h) makes
// both.

#include "calc/priceform.h"

#include <QListWidget>

class QKeyEvent;
class QPaintEvent;

namespace platform {

// Marks the keyboard focus round its entries, and chooses the entry its keys lead to. A
// hidden one says nothing to assistive
// technology (platform/accessibility/ sees to that for every hidden control).
class ListBoxWidget final : public QListWidget
{
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

class ListBoxAdapter final : public ListBox
{
public:
    explicit ListBoxAdapter(QListWidget &list);

    int ListIndex() const override;
    void setListIndex(int position) override;
    QString List(int position) const override;
    QWidget &widget() const;

private:
    QListWidget &m_list;
};

} // namespace platform
