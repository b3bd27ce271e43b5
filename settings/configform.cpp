#include "configform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>

#include "registrystore.h"
#include "spinedit.h"
#include "ui_configform.h"

namespace {

// The top-left corner that centres `size` in `area`; a window larger than the area keeps its
// top-left corner (and so its title bar) inside it.
QPoint centredPosition(const QRect &area, const QSize &size)
{
    return {std::max(area.left(), area.left() + (area.width() - size.width()) / 2),
            std::max(area.top(), area.top() + (area.height() - size.height()) / 2)};
}

} // namespace

TConfigFrm::TConfigFrm(QWidget *owner, RegistryStore &store)
    : QDialog(owner), m_IniOut1(new TIniOut(this, store)), m_ui(std::make_unique<Ui::ConfigFrm>())
{
    m_IniOut1->setObjectName(QStringLiteral("IniOut1"));
    m_ui->setupUi(this);
    // Centred on the screen the owner is on, not over the owner.
    const QScreen *display = owner ? owner->screen() : screen();
    if (display)
        move(centredPosition(display->availableGeometry(), size()));
    FormCreate();
}

TConfigFrm::~TConfigFrm() = default;

QCheckBox *TConfigFrm::CheckBox1() const
{
    return m_ui->CheckBox1;
}

QCheckBox *TConfigFrm::CheckBox2() const
{
    return m_ui->CheckBox2;
}

QCheckBox *TConfigFrm::CheckBox3() const
{
    return m_ui->CheckBox3;
}

QCheckBox *TConfigFrm::CheckBox4() const
{
    return m_ui->CheckBox4;
}

QCheckBox *TConfigFrm::CheckBox5() const
{
    return m_ui->CheckBox5;
}

TRzSpinEdit *TConfigFrm::Edit1() const
{
    return m_ui->Edit1;
}

QLineEdit *TConfigFrm::Edit2() const
{
    return m_ui->Edit2;
}

QLineEdit *TConfigFrm::Edit3() const
{
    return m_ui->Edit3;
}

QLineEdit *TConfigFrm::Edit4() const
{
    return m_ui->Edit4;
}

void TConfigFrm::FormCreate()
{
    m_IniOut1->LoadFromRegistry();
}

void TConfigFrm::Button1Click()
{
    m_IniOut1->SaveToRegistry();
    accept();
}

void TConfigFrm::Button2Click()
{
    reject();
}

// Only the General page has defaults to return to; buffers and skin stay as they are.
void TConfigFrm::Button3Click()
{
    m_ui->CheckBox1->setChecked(true);
    m_ui->CheckBox2->setChecked(true);
    m_ui->CheckBox3->setChecked(true);
    m_ui->CheckBox4->setChecked(false);
    m_ui->CheckBox5->setChecked(false);
    m_ui->Edit1->setText(QStringLiteral("8"));
}

void TConfigFrm::Button4Click()
{
    QFileDialog OpenDialog1(this);
    OpenDialog1.setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1.setFileMode(QFileDialog::ExistingFile);
    OpenDialog1.setNameFilters({tr("Skin File (*.sk)"), tr("All Files (*)")});
    // Skins are folders side by side: open where the current one lies among its neighbours,
    // or beside the program, where the shipped skins are.
    const QFileInfo currentSkin(m_ui->Edit4->text());
    OpenDialog1.setDirectory(currentSkin.isFile() ? currentSkin.dir().absoluteFilePath("..")
                                                  : QCoreApplication::applicationDirPath());
    if (OpenDialog1.exec() != QDialog::Accepted || OpenDialog1.selectedFiles().isEmpty())
        return;
    m_ui->Edit4->setText(QDir::toNativeSeparators(OpenDialog1.selectedFiles().constFirst()));
}
