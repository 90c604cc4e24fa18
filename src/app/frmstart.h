// The About window, which also greets the user at every start.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace mq::app {

class MDIForm1;

// A label that acts as a link: a pointing picture under the mouse, and a
// click runs the given action.
class LinkLabel : public QWidget {
    Q_OBJECT
public:
    LinkLabel(const QString& text, const QIcon& pointer, QWidget* parent);
    QLabel* label() const { return label_; }
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    QLabel* label_;
};

class frmstart : public QWidget {
    Q_OBJECT
public:
    explicit frmstart(MDIForm1& main, QWidget* parent = nullptr);
    // Sets the title, the version line and the description.
    void Form_Load();

    static QString homePage();
    static QString mailAddress();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    LinkLabel* Label6 = nullptr;
    LinkLabel* Label8 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    MDIForm1& main_;
};

class frm_help : public QWidget {
    Q_OBJECT
public:
    explicit frm_help(QWidget* parent = nullptr);
    static QString helpText();
    QPlainTextEdit* Text1 = nullptr;
};

}  // namespace mq::app
