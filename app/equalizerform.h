// The Equalizer window: an On box, the preamp and ten vertical bars with their values, Reset,
// and the presets (choose, save under a name, delete the user's own). A thin view of the
// EqualizerControl: every move goes to it at once, and it shows what the control holds.
#pragma once

#include <QMessageBox>
#include <QWidget>

class EqualizerControl;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

class EqualizerForm : public QWidget {
    Q_OBJECT

public:
    EqualizerForm(EqualizerControl &control, QWidget *owner);

    // The skin's look: its font, its text colour, and a background taken from its picture.
    void takeLook(const QString &fontFamily, const QColor &foreColor, const QImage &background);

    QCheckBox *OnBox() const { return m_on; }
    // Band 0..9: 31 Hz..16 kHz.
    QSlider *BandBar(int band) const { return m_bands.at(band); }

private:
    // The name to save the current curve under; empty when cancelled.
    QString askPresetName();
    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons);
    QWidget *barColumn(QSlider *&bar, QLabel *&value, const QString &label);
    void showSettings();
    void showPresets();
    // Delete is for the user's own presets only.
    void showDeletable();
    void savePresetClicked();
    void deletePresetClicked();

    EqualizerControl &m_control;
    QCheckBox *m_on = nullptr;
    QSlider *m_preamp = nullptr;
    QLabel *m_preampValue = nullptr;
    QList<QSlider *> m_bands;
    QList<QLabel *> m_bandValues;
    QComboBox *m_presetBox = nullptr;
    QPushButton *m_delete = nullptr;
};
