// A window's controls as text, one line each (name, class, caption or text, check
// mark, tip, items, range, font, minimum width; sorted), then its tab order,
// compared with a golden file: how a window starts is checked against
// tests/*/data/*.txt instead of long literal tables. MQ_UPDATE_GOLDEN=1 writes
// the files instead of comparing.
#pragma once

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include "platform/scripted_platform.h"

#include <algorithm>

namespace mq::testing {

inline QString quoted(QString text)
{
    return '"' + text.replace("\r", "\\r").replace("\n", "\\n") + '"';
}

// `widths`: with the minimum widths, for windows whose widths do not follow the fonts.
inline QString window_state(QWidget& window, bool widths)
{
    QStringList lines{"title: " + quoted(window.windowTitle())};
    for (QWidget* w : window.findChildren<QWidget*>()) {
        bool inner = false;  // a part of a combo box, list or text area
        for (QWidget* up = w->parentWidget(); up && up != &window; up = up->parentWidget())
            inner = inner || qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractScrollArea*>(up);
        QString line = w->objectName() + " " + w->metaObject()->className() + ":";
        if (auto* l = qobject_cast<QLabel*>(w))
            line += " " + quoted(l->text());
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            line += " " + quoted(b->text()) + (b->isCheckable() ? (b->isChecked() ? " [x]" : " [ ]") : "");
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            line += " " + quoted(e->text()) +
                    (e->placeholderText().isEmpty() ? "" : " hint " + quoted(e->placeholderText()));
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            line += " " + quoted(g->title());
        else if (auto* t = qobject_cast<QPlainTextEdit*>(w))
            line += " " + quoted(t->toPlainText());
        else if (auto* s = qobject_cast<QAbstractSlider*>(w))
            line += QString(" %1..%2 step %3 page %4 at %5")
                        .arg(s->minimum())
                        .arg(s->maximum())
                        .arg(s->singleStep())
                        .arg(s->pageStep())
                        .arg(s->value());
        else if (auto* p = qobject_cast<QProgressBar*>(w))
            line += QString(" %1..%2").arg(p->minimum()).arg(p->maximum());
        else if (auto* c = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < c->count(); ++i) line += " " + quoted(c->itemText(i));
            line += " = " + quoted(c->currentText());
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i) line += "\n  " + quoted(list->item(i)->text());
        } else if (inner || w->objectName().isEmpty())
            continue;
        if (inner) continue;
        if (!w->toolTip().isEmpty()) line += " tip " + quoted(w->toolTip());
        if (!w->isEnabled()) line += " disabled";
        if (w->testAttribute(Qt::WA_SetFont)) line += " font " + quoted(w->font().family());
        if (widths && w->minimumWidth() > 0) line += " min-width " + QString::number(w->minimumWidth());
        lines << line;
    }
    // Sorted, so that moving a control within the layout changes nothing here; the tab order follows.
    std::sort(lines.begin() + 1, lines.end());
    QStringList tab{"tab"};
    for (QWidget* f = window.nextInFocusChain(); f != &window; f = f->nextInFocusChain())
        if (!f->objectName().isEmpty() && (f->focusPolicy() & Qt::TabFocus)) tab << f->objectName();
    return lines.join('\n') + '\n' + tab.join(' ') + '\n';
}

// Compares the window's state with the golden file, line by line.
inline void compare_with_golden(QWidget& window, const QString& path, bool widths = true)
{
    const QString state = window_state(window, widths);
    QFile file(path);
    if (qEnvironmentVariableIsSet("MQ_UPDATE_GOLDEN")) {
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(state.toUtf8()) > 0);
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QStringList expected = QString::fromUtf8(file.readAll()).split('\n');
    const QStringList got = state.split('\n');
    for (qsizetype i = 0; i < std::max(got.size(), expected.size()); ++i)
        QCOMPARE(got.value(i, "<none>"), expected.value(i, "<none>"));
}

// A dialog as shown: its kind and the properties that are set.
inline QString dialog_line(const ScriptedDialog::Shown& shown)
{
    const auto& s = shown.state;
    QString line = QStringList{"Open", "Save", "Color", "Font", "Printer"}[int(shown.kind)];
    const QList<QPair<const char*, QString>> texts{{"title", s.dialogTitle}, {"filter", s.filter},
                                                  {"ext", s.defaultExt},    {"name", s.fileName},
                                                  {"dir", s.initDir},       {"font", s.fontName}};
    for (const auto& [name, value] : texts)
        if (!value.isEmpty()) line += QStringLiteral(" %1=\"%2\"").arg(name, value);
    if (s.filterIndex) line += QStringLiteral(" index=%1").arg(s.filterIndex);
    if (s.color) line += QStringLiteral(" color=%1").arg(s.color, 0, 16);
    const bool flags[] = {s.cancelError,   s.overwritePrompt, s.hideReadOnly,
                          s.explorerStyle, s.screenFonts,     s.fontEffects};
    const char* names[] = {"cancelError", "overwritePrompt", "hideReadOnly",
                           "explorer",    "screenFonts",     "effects"};
    for (int i = 0; i < 6; ++i)
        if (flags[i]) line += ' ' + QLatin1String(names[i]);
    return line;
}

}  // namespace mq::testing
