// Small helpers for tests that drive windows by their control names.
#pragma once

#include "platform/test_files.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace mq::testing {

template <typename T>
T* child(QWidget& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

// The text of a label, a text box or a button, or a frame's title.
inline QString text_of(QWidget& w, const QString& name)
{
    if (auto* label = w.findChild<QLabel*>(name)) return label->text();
    if (auto* box = w.findChild<QLineEdit*>(name)) return box->text();
    if (auto* button = w.findChild<QAbstractButton*>(name)) return button->text();
    return child<QGroupBox>(w, name)->title();
}

inline void set_text(QWidget& w, const QString& n, const QString& s) { child<QLineEdit>(w, n)->setText(s); }
inline void click(QWidget& w, const QString& name) { child<QPushButton>(w, name)->click(); }

// Types key by key, through the box's key filter; "\b" is Backspace.
inline void type_keys(QLineEdit* box, const QString& keys)
{
    for (QChar c : keys) (c == '\b') ? QTest::keyClick(box, Qt::Key_Backspace) : QTest::keyClicks(box, c);
}

}  // namespace mq::testing
