#include "assocdialog.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>

#include "desktopassociation.h"
#include "pluslabel.h"
#include "ui_assocdialog.h"

namespace {

// Code 2 switches bold on and off. The form file cannot hold it (XML forbids control
// characters), so the caption is set here.
const QString Caption =
    QStringLiteral("For full access to NorlPlayer's shell interface, NorlPlayer must be properly "
                   "associated with MP3 files. However, NorlPlayer is not currently associated "
                   "with MP3 files.\r\n\r\n\x02"
                   "Associate NorlPlayer with MP3 files now?\x02\r\n");

} // namespace

TAssocDialog::TAssocDialog(QWidget *owner, RegistryStore &store, DesktopAssociation &association)
    : QDialog(owner), m_IniOut1(new TIniOut(this, store)), m_association(association),
      m_ExePath(QCoreApplication::applicationFilePath()),
      m_runBox([](QMessageBox &box) { box.exec(); }), m_ui(std::make_unique<Ui::AssocDialog>())
{
    m_IniOut1->setObjectName(QStringLiteral("IniOut1"));
    m_ui->setupUi(this);
    m_ui->PlusLabel1->setCaption(Caption);
    // Centred on the screen the owner is on, not over the owner.
    if (const QScreen *display = owner ? owner->screen() : screen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                 display->availableGeometry())
                 .topLeft());
    FormCreate();
}

TAssocDialog::~TAssocDialog()
{
    FormDestroy();
}

TPlusLabel *TAssocDialog::PlusLabel1() const
{
    return m_ui->PlusLabel1;
}

QPushButton *TAssocDialog::Button1() const
{
    return m_ui->Button1;
}

QPushButton *TAssocDialog::Button2() const
{
    return m_ui->Button2;
}

QCheckBox *TAssocDialog::CheckBox1() const
{
    return m_ui->CheckBox1;
}

void TAssocDialog::FormCreate()
{
    m_IniOut1->LoadFromRegistry();
}

void TAssocDialog::FormDestroy()
{
    m_IniOut1->SaveToRegistry();
}

void TAssocDialog::Button1Click()
{
    try {
        MakeAssociation(QStringLiteral("mp3"), m_ExePath);
    } catch (const std::exception &error) {
        // The command ends as any failed command does, with its message; the prompt stays open
        // so that No can still be answered.
        QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                        QString::fromLocal8Bit(error.what()), QMessageBox::Ok, this);
        m_runBox(box);
        return;
    }
    accept();
}

void TAssocDialog::Button2Click()
{
    reject();
}

void TAssocDialog::MakeAssociation(const QString &Ext, const QString &ExePath)
{
    const QString mimeType = mimeTypeForExtension(Ext.toLower());
    if (!QFileInfo(ExePath).isFile()) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("Error: Program not found: ") + ExePath, QMessageBox::Ok,
                        this);
        m_runBox(box);
        return;
    }
    // The entry first, so that the default never names an entry that is not there. An entry
    // installed with this program is named as it is, not shadowed by a second one.
    if (!m_association.installedEntryRuns(ExePath))
        SetValInReg([&] { return m_association.writeEntry(ExePath, mimeType); });
    SetValInReg([&] { return m_association.writeDefault(mimeType); });
}

void TAssocDialog::SetValInReg(const std::function<bool()> &write, const QString &ValueName)
{
    if (!write())
        throw AssociationWriteError(ValueName);
}

bool runAssociationCheck(QWidget *owner, RegistryStore &store, DesktopAssociation &association,
                         const QString &exePath,
                         const std::function<void(TAssocDialog &)> &showModal)
{
    const bool associated =
        association.isAssociated(exePath, mimeTypeForExtension(QStringLiteral("mp3")));
    // Created at every check, shown or not: its destruction stores "never display".
    TAssocDialog AssocDialog(owner, store, association);
    AssocDialog.SetExePath(exePath);
    if (associated || AssocDialog.CheckBox1()->isChecked())
        return false;
    if (showModal)
        showModal(AssocDialog);
    else
        AssocDialog.exec();
    return true;
}
