// TLMDFMDrop: hands files dropped from the desktop onto one widget (`Control`) to its owner as
// the list of their local paths, in drop order, with the drop point. It watches the widget
// through an event filter, which goes away when either of the two does.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class QDropEvent;
class QWidget;

class TLMDFMDrop : public QObject {
    Q_OBJECT
public:
    enum TLMDCharCase { ccNormal, ccLowerCase, ccUpperCase };
    Q_ENUM(TLMDCharCase)

private:
    Q_PROPERTY(TLMDCharCase CharCase READ CharCase WRITE SetCharCase)
    Q_PROPERTY(QWidget *Control READ Control WRITE SetControl)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)

public:
    explicit TLMDFMDrop(QObject *owner = nullptr);
    // The target gets back the drop acceptance it had before.
    ~TLMDFMDrop() override;

    TLMDCharCase CharCase() const { return m_CharCase; }
    void SetCharCase(TLMDCharCase value) { m_CharCase = value; }
    // The drop target; it becomes null when the target is destroyed.
    QWidget *Control() const { return m_Control; }
    void SetControl(QWidget *value);
    // While false the target refuses drops.
    bool Enabled() const { return m_Enabled; }
    void SetEnabled(bool value);

    // The names a drop hands on: the local files among `urls`, in order, in `charCase`. Other
    // URLs (a web address) name no file and are left out.
    static QStringList FileNames(const QList<QUrl> &urls, TLMDCharCase charCase);

signals:
    // One drop. `fcount` is the number of items dropped, including any left out of `FileList`,
    // so receivers go through `FileList`. x and y are in the target's coordinates.
    void OnFMDragDrop(QObject *Sender, int fcount, int x, int y, const QStringList &FileList);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void HookControl();
    void UnhookControl();
    void ControlDestroyed();
    // Accepts a drag or drop of URLs; false when it is refused.
    static bool acceptUrls(QDropEvent &event);

    QWidget *m_Control = nullptr;
    bool m_Enabled = true;
    TLMDCharCase m_CharCase = ccNormal;
    bool m_hooked = false;
    bool m_controlAcceptedDrops = false;
    QMetaObject::Connection m_controlDestroyed;
};
