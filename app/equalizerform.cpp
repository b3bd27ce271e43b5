#include "equalizerform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "application.h"
#include "equalizercontrol.h"
#include "widgetlook.h"

using namespace Equalizer;

namespace {

// Stock controls in the skin's colours: its text colour over a plain colour of its picture,
// with faces a little lighter and fields a little darker so that they stand out.
QPalette skinPalette(QPalette palette, const QColor &back, const QColor &fore)
{
    const bool dark = back.lightness() < 128;
    const QColor face = dark ? back.lighter(140) : back.darker(115);
    const QColor field = dark ? back.darker(130) : back.lighter(115);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, back);
        palette.setColor(group, QPalette::WindowText, fore);
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::ButtonText, fore);
        palette.setColor(group, QPalette::Base, field);
        palette.setColor(group, QPalette::AlternateBase, face);
        palette.setColor(group, QPalette::Text, fore);
        palette.setColor(group, QPalette::Highlight, fore);
        palette.setColor(group, QPalette::HighlightedText, back);
    }
    const QColor muted =
        QColor::fromRgbF((fore.redF() + back.redF()) / 2, (fore.greenF() + back.greenF()) / 2,
                         (fore.blueF() + back.blueF()) / 2);
    palette.setColor(QPalette::Disabled, QPalette::Window, back);
    palette.setColor(QPalette::Disabled, QPalette::Button, face);
    palette.setColor(QPalette::Disabled, QPalette::Base, field);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, muted);
    return palette;
}

} // namespace

EqualizerForm::EqualizerForm(EqualizerControl &control, QWidget *owner)
    // A dialog rather than a tool window: the main window's keys (Delete, Space, the arrows)
    // must not act on the playlist while the bars have the focus.
    : QWidget(owner, Qt::Dialog), m_control(control)
{
    setObjectName(QStringLiteral("EqualizerForm"));
    setWindowTitle(QStringLiteral("Equalizer"));
    setAttribute(Qt::WA_QuitOnClose, false);

    m_on = new QCheckBox(QStringLiteral("&On"), this);
    m_presetBox = new QComboBox(this);
    m_presetBox->setMinimumContentsLength(12);
    m_presetBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_presetBox->setToolTip(QStringLiteral("Presets"));
    auto *save = new QPushButton(QStringLiteral("&Save..."), this);
    m_delete = new QPushButton(QStringLiteral("&Delete"), this);
    auto *reset = new QPushButton(QStringLiteral("&Reset"), this);
    reset->setToolTip(QStringLiteral("All bands and the preamp to 0 dB"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_on);
    top->addStretch();
    top->addWidget(m_presetBox);
    top->addWidget(save);
    top->addWidget(m_delete);
    top->addWidget(reset);

    auto *bars = new QHBoxLayout;
    bars->setSpacing(2);
    bars->addWidget(barColumn(m_preamp, m_preampValue, QStringLiteral("Preamp")));
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    bars->addWidget(line);
    for (const QString &label : bandLabels()) {
        QSlider *bar = nullptr;
        QLabel *value = nullptr;
        bars->addWidget(barColumn(bar, value, label));
        m_bands << bar;
        m_bandValues << value;
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bars);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The player may refuse a change; its error is shown here, not thrown into the toolkit.
    connect(m_on, &QCheckBox::toggled, this,
            [this](bool on) { CommandScope::runInEvent([this, on] { m_control.setOn(on); }); });
    connect(m_preamp, &QSlider::valueChanged, this, [this](int gain) {
        CommandScope::runInEvent([this, gain] { m_control.setPreamp(gain); });
    });
    for (int band = 0; band < BandCount; ++band)
        connect(m_bands[band], &QSlider::valueChanged, this, [this, band](int gain) {
            CommandScope::runInEvent([this, band, gain] { m_control.setBand(band, gain); });
        });
    connect(reset, &QPushButton::clicked, this,
            [this] { CommandScope::run([this] { m_control.setCurve(Curve()); }); });
    connect(m_presetBox, &QComboBox::textActivated, this, [this](const QString &name) {
        CommandScope::run([this, name] { m_control.choosePreset(name); });
    });
    connect(m_presetBox, &QComboBox::currentIndexChanged, this, &EqualizerForm::showDeletable);
    connect(save, &QPushButton::clicked, this,
            [this] { CommandScope::run([this] { savePresetClicked(); }); });
    connect(m_delete, &QPushButton::clicked, this,
            [this] { CommandScope::run([this] { deletePresetClicked(); }); });
    connect(&m_control, &EqualizerControl::settingsChanged, this, &EqualizerForm::showSettings);
    connect(&m_control, &EqualizerControl::presetsChanged, this, &EqualizerForm::showPresets);
    showPresets();
}

QWidget *EqualizerForm::barColumn(QSlider *&bar, QLabel *&value, const QString &label)
{
    auto *column = new QWidget(this);
    bar = new QSlider(Qt::Vertical, column);
    bar->setRange(MinGain, MaxGain);
    bar->setSingleStep(5);
    bar->setPageStep(30);
    bar->setMinimumHeight(120);
    bar->setAccessibleName(label);
    value = new QLabel(column);
    value->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel(label, column);
    name->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(value);
    layout->addWidget(bar, 1, Qt::AlignHCenter);
    layout->addWidget(name);
    return column;
}

void EqualizerForm::takeLook(const QString &fontFamily, const QColor &foreColor,
                             const QImage &background)
{
    // From the program's own palette: nothing of an earlier skin's look stays.
    const QPalette stock = QApplication::palette();
    const QColor back =
        background.isNull()
            ? stock.color(QPalette::Window)
            : background.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                  .pixelColor(0, 0);
    setPalette(skinPalette(stock, back, foreColor));
    setAutoFillBackground(true);
    setFontFamily(*this, fontFamily);
    // The presets' list is a window of its own, which takes nothing from its parent.
    m_presetBox->view()->setPalette(palette());
    setFontFamily(*m_presetBox->view(), fontFamily);
    // Every column as wide as "-10.5 dB" in the skin's font, so that none shifts as values change.
    for (QLabel *value : findChildren<QLabel *>())
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-10.5 dB")));
}

void EqualizerForm::showSettings()
{
    const Settings &settings = m_control.settings();
    const QSignalBlocker onBlocker(m_on);
    m_on->setChecked(settings.on);
    {
        const QSignalBlocker blocker(m_preamp);
        m_preamp->setValue(settings.curve.preamp);
    }
    m_preampValue->setText(gainText(settings.curve.preamp));
    for (int band = 0; band < BandCount; ++band) {
        const QSignalBlocker blocker(m_bands[band]);
        m_bands[band]->setValue(settings.curve.bands[size_t(band)]);
        m_bandValues[band]->setText(gainText(settings.curve.bands[size_t(band)]));
    }
    // The box names the preset the bars match, if any, keeping the one shown when it does.
    const auto matches = [this, &settings](int i) {
        return findPreset(m_control.userPresets(), m_presetBox->itemText(i)) == settings.curve;
    };
    int match = m_presetBox->currentIndex() >= 0 && matches(m_presetBox->currentIndex())
                    ? m_presetBox->currentIndex()
                    : -1;
    for (int i = 0; i < m_presetBox->count() && match < 0; ++i)
        if (matches(i))
            match = i;
    m_presetBox->setCurrentIndex(match);
}

void EqualizerForm::showDeletable()
{
    m_delete->setEnabled(m_control.userPresets().find(m_presetBox->currentText()).has_value());
}

void EqualizerForm::showPresets()
{
    {
        const QString shown = m_presetBox->currentText();
        const QSignalBlocker blocker(m_presetBox);
        m_presetBox->clear();
        for (const Preset &preset : builtInPresets())
            m_presetBox->addItem(preset.name);
        if (!m_control.userPresets().presets().isEmpty())
            m_presetBox->insertSeparator(m_presetBox->count());
        m_presetBox->addItems(m_control.userPresets().names());
        m_presetBox->setCurrentIndex(m_presetBox->findText(shown, Qt::MatchFixedString));
    }
    showSettings();
    showDeletable();
}

QString EqualizerForm::askPresetName()
{
    return QInputDialog::getText(this, QStringLiteral("Save Preset"), QStringLiteral("Name:"),
                                 QLineEdit::Normal, m_presetBox->currentText());
}

// Preset names are the user's text: shown as typed, never as markup.
QMessageBox::StandardButton EqualizerForm::ask(QMessageBox::Icon icon, const QString &text,
                                               QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, windowTitle(), text, buttons, this);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

void EqualizerForm::savePresetClicked()
{
    const QString name = UserPresets::cleanName(askPresetName());
    if (name.isEmpty())
        return;
    if (m_control.userPresets().find(name) &&
        ask(QMessageBox::Question, QStringLiteral("Replace the preset \"%1\"?").arg(name),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (m_control.savePreset(name))
        m_presetBox->setCurrentIndex(m_presetBox->findText(name, Qt::MatchFixedString));
    else
        ask(QMessageBox::Warning,
            QStringLiteral("\"%1\" cannot be used: the built-in presets keep their "
                           "names, and the list holds at most %2.")
                .arg(name, QString::number(UserPresets::MaxCount)),
            QMessageBox::Ok);
}

void EqualizerForm::deletePresetClicked()
{
    m_control.deletePreset(m_presetBox->currentText());
}
