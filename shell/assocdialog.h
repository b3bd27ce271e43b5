// TAssocDialog: the prompt that offers to make the program the desktop's handler for MP3 files,
// with "Never display this message again". The check box is bound to the user's store: every
// instance loads it when it is created and saves it when it is destroyed, whether it was shown
// or not and whichever button closed it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "iniout.h"

class DesktopAssociation;
class QCheckBox;
class QMessageBox;
class QPushButton;
class RegistryStore;
class TPlusLabel;

namespace Ui {
class AssocDialog;
}

class TAssocDialog : public QDialog {
    Q_OBJECT
    // The settings binding is data of the form, kept with its layout.
    Q_PROPERTY(QStringList IniOut1Items READ IniOut1Items WRITE setIniOut1Items)
    Q_PROPERTY(TIniOut::TRegRoots IniOut1RegistryRoot READ IniOut1RegistryRoot WRITE
                   setIniOut1RegistryRoot)
    Q_PROPERTY(QString ExePath READ ExePath WRITE SetExePath)

public:
    TAssocDialog(QWidget *owner, RegistryStore &store, DesktopAssociation &association);
    // Saves the check box (FormDestroy) while the controls still exist.
    ~TAssocDialog() override;

    TPlusLabel *PlusLabel1() const;
    QPushButton *Button1() const;
    QPushButton *Button2() const;
    QCheckBox *CheckBox1() const;

    QStringList IniOut1Items() const { return m_IniOut1->Items(); }
    void setIniOut1Items(const QStringList &items) { m_IniOut1->SetItems(items); }
    TIniOut::TRegRoots IniOut1RegistryRoot() const { return m_IniOut1->RegistryRoot(); }
    void setIniOut1RegistryRoot(TIniOut::TRegRoots root) { m_IniOut1->SetRegistryRoot(root); }

    // The program file that Yes associates: the running program unless set.
    QString ExePath() const { return m_ExePath; }
    void SetExePath(const QString &path) { m_ExePath = path; }

    // Associates files with extension `Ext` (no dot, any case) with the program file `ExePath`.
    // A missing program file is reported in a box and nothing is written. Otherwise the
    // program's desktop entry, then the default for the type; the first write that fails throws
    // AssociationWriteError, and what was written before it stands.
    void MakeAssociation(const QString &Ext, const QString &ExePath);
    // Runs one write; a failure throws AssociationWriteError naming `ValueName`.
    static void SetValInReg(const std::function<bool()> &write, const QString &ValueName = {});

    // How the dialog's message boxes are run: exec() unless replaced (where nobody can answer).
    using BoxRunner = std::function<void(QMessageBox &)>;
    void SetBoxRunner(BoxRunner runner) { m_runBox = std::move(runner); }

public slots:
    void FormCreate();
    void FormDestroy();
    // Yes: associates and closes; a failed write is shown and the dialog stays open.
    void Button1Click();
    // No (and Esc): closes.
    void Button2Click();

private:
    TIniOut *m_IniOut1;
    DesktopAssociation &m_association;
    QString m_ExePath;
    BoxRunner m_runBox;
    std::unique_ptr<Ui::AssocDialog> m_ui;
};

// The association check of the program's first show: reads the association, creates the prompt
// (which loads "never display"), and when `exePath` is not associated and the user has not
// declined for good, shows the prompt modally through `showModal` (exec() when empty). The
// prompt is destroyed before returning, which stores "never display". True when it was shown.
bool runAssociationCheck(QWidget *owner, RegistryStore &store, DesktopAssociation &association,
                         const QString &exePath,
                         const std::function<void(TAssocDialog &)> &showModal = {});
