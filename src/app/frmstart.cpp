#include "app/frmstart.h"

#include "app/mdiform1.h"
#include "common/version.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace mq::app {

LinkLabel::LinkLabel(const QString& text, const QIcon& pointer, QWidget* parent)
    : QWidget(parent), label_(new QLabel(text, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
    label_->setStyleSheet(QStringLiteral("color: #1a4fa0; text-decoration: underline;"));
    const QPixmap picture = pointer.pixmap(24, 24);
    setCursor(picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, 6, 1));
}

void LinkLabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) emit clicked();
}

QString frmstart::homePage()
{
    return QStringLiteral("https://mapquill.example.org/");
}

QString frmstart::mailAddress()
{
    return QStringLiteral("feedback@mapquill.example.org");
}

frmstart::frmstart(MDIForm1& main, QWidget* parent) : QWidget(parent), main_(main)
{
    setObjectName(QStringLiteral("frmstart"));
    auto makeLabel = [this](const char* name, const QString& text = {}) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    QFont heavy(QStringLiteral("Arial Black"));
    heavy.setWeight(QFont::Black);

    picIcon = makeLabel("picIcon");
    picIcon->setPixmap(main.windowIcon().pixmap(64, 64));
    picIcon->setCursor(Qt::PointingHandCursor);
    picIcon->setToolTip(QStringLiteral("Close"));
    picIcon->installEventFilter(this);
    lblTitle = makeLabel("lblTitle");
    QFont titleFont = heavy;
    titleFont.setPointSize(20);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel("lblVersion");
    lblDescription = makeLabel("lblDescription", QStringLiteral(" "));
    Label5 = makeLabel("Label5");
    Label5->setWordWrap(true);
    Label1 = makeLabel("Label1", QStringLiteral("Info: Your country settings should have . (dot) as decimal seperator !!"));
    Label2 = makeLabel("Label2", QStringLiteral("Warning: You use this program at your own risk !!"));
    Label4 = makeLabel("Label4", QStringLiteral("Last changes:   06 May 2011 Wendholm"));
    Label3 = makeLabel("Label3", QStringLiteral("3.3.0"));
    Label3->setFont(heavy);
    Label10 = makeLabel("Label10", QStringLiteral("4.4.5"));
    Label10->setFont(heavy);
    Label7 = makeLabel("Label7", QStringLiteral("Download at:"));
    Label9 = makeLabel("Label9", QStringLiteral("E-mail to:"));
    const QIcon pointer = main.ImageList1().value(0);
    Label6 = new LinkLabel(homePage(), pointer, this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label8 = new LinkLabel(mailAddress(), pointer, this);
    Label8->setObjectName(QStringLiteral("Label8"));
    auto* Line3 = new QFrame(this);
    Line3->setObjectName(QStringLiteral("Line3"));
    Line3->setFrameShape(QFrame::HLine);
    Line3->setFrameShadow(QFrame::Sunken);

    connect(Label6, &LinkLabel::clicked, this, [this] { main_.services().browser->open(homePage()); });
    connect(Label8, &LinkLabel::clicked, this,
            [this] { main_.services().browser->open(QStringLiteral("mailto:") + mailAddress()); });

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 3);
    grid->addWidget(lblVersion, 1, 1, 1, 3);
    grid->addWidget(lblDescription, 2, 1, 1, 3);
    grid->addWidget(Label5, 3, 0, 1, 4);
    grid->addWidget(Label1, 4, 0, 1, 4);
    grid->addWidget(Label2, 5, 0, 1, 4);
    grid->addWidget(Line3, 6, 0, 1, 4);
    grid->addWidget(Label4, 7, 0, 1, 2);
    grid->addWidget(Label3, 7, 2);
    grid->addWidget(Label10, 7, 3);
    grid->addWidget(Label7, 8, 0);
    grid->addWidget(Label6, 8, 1, 1, 3);
    grid->addWidget(Label9, 9, 0);
    grid->addWidget(Label8, 9, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(470);
    Form_Load();
}

void frmstart::Form_Load()
{
    setWindowTitle(QStringLiteral("About Mapquill"));
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(windowTitle());
    lblVersion->setText(QStringLiteral("Version %1.%2.%3    /    01. December 2003")
                            .arg(MAPQUILL_VERSION_MAJOR)
                            .arg(MAPQUILL_VERSION_MINOR)
                            .arg(MAPQUILL_VERSION_PATCH));
    lblTitle->setText(QStringLiteral("Mapquill"));
    Label5->setText(QStringLiteral("This program was developed for an easier writing of GMT-DOS scripts. "
                                   "Let me know what you think about it."));
}

bool frmstart::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == picIcon && e->type() == QEvent::MouseButtonPress) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->close();
        else close();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

QString frm_help::helpText()
{
    return QStringLiteral("To activate the automatic complement in Cmd.exe \r\n"
                          "change the registry key CompletionChar to REG_DWORD = 9 in:\r\n\r\n"
                          "HKEY_LOCAL_MACHINE/Software/Microsoft/Command Processor  \r\n\r\n"
                          "You can use the Regedt32.exe editor. You don't have to restart the computer.");
}

frm_help::frm_help(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_help"));
    setWindowTitle(QStringLiteral("Help & Info"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(helpText());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Text1);
    resize(560, 220);
}

}  // namespace mq::app
