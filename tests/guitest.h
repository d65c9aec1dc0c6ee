#pragma once

// What the tests of the window share: a main that runs a test class in the program's own
// application, message boxes closed and remembered, and pictures left for a person.

#include "platform/application.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

// Closes every message box that opens while it lives and keeps its words, so a test can
// check what the user was told without anyone there to press OK.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_texts << box->text();
                m_informativeTexts << box->informativeText();
                for (const QAbstractButton *button : box->buttons())
                    m_buttonTexts << button->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }

    const QStringList &texts() const { return m_texts; }
    const QStringList &informativeTexts() const { return m_informativeTexts; }
    const QStringList &buttonTexts() const { return m_buttonTexts; }

private:
    QTimer m_timer;
    QStringList m_texts;
    QStringList m_informativeTexts;
    QStringList m_buttonTexts;
};

// A widget as the screen shows it.
inline QImage picture(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pictures of the window go to the artifacts folder, for a person to look at.
inline bool saveArtifact(const QImage &image, const QString &name)
{
    const QString folder = qEnvironmentVariable("VELMORA_ARTIFACTS", QDir::tempPath());
    return QDir().mkpath(folder) && image.save(folder + u'/' + name);
}

#define VELMORA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        platform::Application application(argc, argv);                                             \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
