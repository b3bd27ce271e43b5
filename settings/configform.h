// The Preferences dialog: three pages of settings with OK and Cancel. Every instance loads the
// stored settings into its controls when it is created, and only OK writes them back, so a
// hidden instance is also the way to read them.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

#include "iniout.h"

class QCheckBox;
class QLineEdit;
class RegistryStore;
class TRzSpinEdit;

namespace Ui {
class ConfigFrm;
}

class TConfigFrm : public QDialog {
    Q_OBJECT
    // The settings binding is data of the form, kept with its layout.
    Q_PROPERTY(QStringList IniOut1Items READ IniOut1Items WRITE setIniOut1Items)
    Q_PROPERTY(TIniOut::TRegRoots IniOut1RegistryRoot READ IniOut1RegistryRoot WRITE
                   setIniOut1RegistryRoot)

public:
    TConfigFrm(QWidget *owner, RegistryStore &store);
    // Destruction saves nothing: edits reach the store only through OK.
    ~TConfigFrm() override;

    QCheckBox *CheckBox1() const;
    QCheckBox *CheckBox2() const;
    QCheckBox *CheckBox3() const;
    QCheckBox *CheckBox4() const;
    QCheckBox *CheckBox5() const;
    TRzSpinEdit *Edit1() const;
    QLineEdit *Edit2() const;
    QLineEdit *Edit3() const;
    QLineEdit *Edit4() const;

    QStringList IniOut1Items() const { return m_IniOut1->Items(); }
    void setIniOut1Items(const QStringList &items) { m_IniOut1->SetItems(items); }
    TIniOut::TRegRoots IniOut1RegistryRoot() const { return m_IniOut1->RegistryRoot(); }
    void setIniOut1RegistryRoot(TIniOut::TRegRoots root) { m_IniOut1->SetRegistryRoot(root); }

public slots:
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

private:
    TIniOut *m_IniOut1;
    std::unique_ptr<Ui::ConfigFrm> m_ui;
};
