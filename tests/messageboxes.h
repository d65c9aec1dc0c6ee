#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Closes every message box that opens while it lives and keeps their texts, so a test
// can check what the user was told without anyone there to press OK.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    const QStringList &texts() const { return m_texts; }

private:
    QTimer m_timer;
    QStringList m_texts;
};
