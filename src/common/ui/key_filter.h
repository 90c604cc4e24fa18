// Drops unwanted keys typed into a number box. Backspace and Ctrl+V always
// pass, and so do the box's standard keys Ctrl+A, Ctrl+C, Ctrl+X and Ctrl+Z
// and keys that type no character (arrows, Delete, Home, Tab...).
// Every other key passes only when the predicate accepts its character code.
// Pasted text is not filtered.
#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

namespace mq::calc::ui {

class KeyFilter : public QObject {
    Q_OBJECT
public:
    using Accept = std::function<bool(int code)>;
    // Installs itself on the box; the box owns it.
    static KeyFilter* install(QLineEdit* box, Accept accept);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilter(QObject* parent, Accept accept);
    Accept accept_;
};

}  // namespace mq::calc::ui
