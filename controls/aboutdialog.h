// The about box: the program's icon, name, version and description, a line about its makers and
// a link to their home page, and an OK button. The texts are the program's own by default.
#pragma once

#include <QIcon>
#include <QObject>
#include <QUrl>
#include <memory>

class QDialog;
class QWidget;

class TLMDAboutDlg : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER m_caption)
    Q_PROPERTY(QString AppName MEMBER m_appName)
    Q_PROPERTY(QString Version MEMBER m_version)
    Q_PROPERTY(QString Description MEMBER m_description)
    Q_PROPERTY(QString MakerLine MEMBER m_makerLine)
    Q_PROPERTY(QString LinkText MEMBER m_linkText)
    // Only an http or https address becomes a link; anything else shows the text alone.
    Q_PROPERTY(QUrl LinkUrl MEMBER m_linkUrl)
    // Empty: the application's window icon.
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)

public:
    explicit TLMDAboutDlg(QObject *parent = nullptr);

    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &icon) { m_icon = icon; }

    // The box, built from the current texts, for `owner` (the parent when that is a widget).
    std::unique_ptr<QDialog> createDialog(QWidget *owner = nullptr) const;
    // Shows the box modally and returns when it is closed.
    void Execute(QWidget *owner = nullptr);

    static bool isWebAddress(const QUrl &url);

private:
    QWidget *ownerWidget(QWidget *owner) const;

    QString m_caption = QStringLiteral("About NorlPlayer");
    QString m_appName = QStringLiteral("NorlPlayer");
    QString m_version = QStringLiteral("Version 1.5");
    QString m_description = QStringLiteral("A compact, efficient MP3 player.");
    QString m_makerLine = QStringLiteral("Made by the NorlPlayer team");
    QString m_linkText = QStringLiteral("NorlPlayer home page");
    QUrl m_linkUrl;
    QIcon m_icon;
};
