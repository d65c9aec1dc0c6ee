#include "form/velmora.h"

#include "calc/procedures.h"
#include "form/description.h"

using namespace Qt::StringLiterals;

Velmora::Velmora() : m_window(velmoraDescription())
{
    m_window.onLoad([this] { Form_Load(); });
    m_window.onClick(u"Command1"_s, [this](std::int16_t index) { Command1_Click(index); });
    m_window.onClick(u"List1"_s, [this](std::int16_t index) { List1_Click(index); });
}

platform::TextBoxAdapter &Velmora::Text2(std::int16_t index)
{
    return m_window.textBox({ u"Text2"_s, index });
}

platform::ListBoxAdapter &Velmora::List1(std::int16_t index)
{
    return m_window.listBox({ u"List1"_s, index });
}

// The report is the program's output only: the user may select and copy it, never edit it.
void Velmora::Form_Load()
{
    Text2(0).setText(QString());
    Text2(0).setLocked(true);
}

void Velmora::Command1_Click(std::int16_t index)
{
    if (index == 0)
        Calculate(*this);
    else if (index == 1)
        ClearInputs(*this);
}

// A carat is only read when the price is calculated; choosing one changes nothing else.
void Velmora::List1_Click(std::int16_t) { }
