#include "common/ui/key_filter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace mq::calc::ui {

namespace {
constexpr int kBackspace = 8;
constexpr int kCtrlV = 22;
// The box's own standard keys type nothing: select all, copy, cut, undo.
constexpr int kCtrlA = 1;
constexpr int kCtrlC = 3;
constexpr int kCtrlX = 24;
constexpr int kCtrlZ = 26;
}  // namespace

KeyFilter::KeyFilter(QObject* parent, Accept accept) : QObject(parent), accept_(std::move(accept)) {}

KeyFilter* KeyFilter::install(QLineEdit* box, Accept accept) {
    auto* filter = new KeyFilter(box, std::move(accept));
    box->installEventFilter(filter);
    return filter;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;   // these move the focus or delete; they type nothing
    default:
        break;
    }
    // The character code the key types: Ctrl plus a letter types 1..26.
    int code = 0;
    if ((key->modifiers() & Qt::ControlModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
        code = key->key() - Qt::Key_A + 1;
    else if (key->key() == Qt::Key_Backspace)
        code = kBackspace;
    else if (!key->text().isEmpty())
        code = key->text().at(0).unicode();
    if (code == 0) return false;   // no character typed
    if (code == kBackspace || code == kCtrlV) return false;
    if (code == kCtrlA || code == kCtrlC || code == kCtrlX || code == kCtrlZ) return false;
    return !accept_(code);
}

}  // namespace mq::calc::ui
