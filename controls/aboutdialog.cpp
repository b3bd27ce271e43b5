#include "aboutdialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *plainLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    return label;
}

} // namespace

TLMDAboutDlg::TLMDAboutDlg(QObject *parent) : QObject(parent) {}

bool TLMDAboutDlg::isWebAddress(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

QWidget *TLMDAboutDlg::ownerWidget(QWidget *owner) const
{
    if (owner != nullptr)
        return owner;
    return qobject_cast<QWidget *>(parent());
}

std::unique_ptr<QDialog> TLMDAboutDlg::createDialog(QWidget *owner) const
{
    auto dialog = std::make_unique<QDialog>(ownerWidget(owner));
    dialog->setWindowTitle(m_caption);
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *icon = new QLabel(dialog.get());
    icon->setObjectName(QStringLiteral("icon"));
    const QIcon shown = m_icon.isNull() ? QApplication::windowIcon() : m_icon;
    if (!shown.isNull())
        icon->setPixmap(shown.pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    icon->setVisible(!shown.isNull());

    QLabel *name = plainLabel(m_appName, QStringLiteral("appName"), dialog.get());
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    name->setFont(nameFont);

    QLabel *link;
    if (isWebAddress(m_linkUrl)) {
        link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QString::fromUtf8(m_linkUrl.toEncoded()).toHtmlEscaped(),
                                   m_linkText.toHtmlEscaped()),
                          dialog.get());
        link->setObjectName(QStringLiteral("link"));
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        const QUrl target = m_linkUrl;
        QObject::connect(link, &QLabel::linkActivated, link,
                         [target] { QDesktopServices::openUrl(target); });
    } else {
        link = plainLabel(m_linkText, QStringLiteral("link"), dialog.get());
    }

    auto *texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(name);
    texts->addWidget(plainLabel(m_version, QStringLiteral("version"), dialog.get()));
    texts->addSpacing(8);
    texts->addWidget(plainLabel(m_description, QStringLiteral("description"), dialog.get()));
    texts->addSpacing(8);
    texts->addWidget(plainLabel(m_makerLine, QStringLiteral("maker"), dialog.get()));
    texts->addWidget(link);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(texts, 1);

    auto *ok = new QPushButton(QStringLiteral("OK"), dialog.get());
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog.get(), &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(dialog.get());
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    return dialog;
}

void TLMDAboutDlg::Execute(QWidget *owner)
{
    std::unique_ptr<QDialog> dialog = createDialog(owner);
    dialog->exec();
}
