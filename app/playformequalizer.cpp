// The equalizer on the main window: sent to the player once its library is loaded, and the
// Equalizer window of the Options menu.
#include "application.h"
#include "elsexception.h"
#include "equalizercontrol.h"
#include "equalizerform.h"
#include "imagelistbox.h"
#include "label.h"
#include "panelfill.h"
#include "playform.h"
#include "screenplacement.h"
#include "ui_playform.h"

void TPlayForm::startEqualizer()
{
    try {
        m_equalizer->setPlayer(m_Player);
    } catch (const TElSException &error) {
        // The music matters more: the first show goes on without the equalizer.
        qWarning("The equalizer is not available: %s", error.what());
        m_equalizer->setPlayer(nullptr);
    }
    ui->Equalizer1->setEnabled(m_equalizer->available());
}

void TPlayForm::showEqualizerLook()
{
    if (m_equalizerForm)
        m_equalizerForm->takeLook(ui->InfoLabel->fontName(), ui->InfoLabel->fontColor(),
                                  ui->LMDPanelFill1->bitmap());
}

void TPlayForm::Equalizer1Click()
{
    CommandScope::run([this] {
        if (!m_equalizerForm) {
            m_equalizerForm = new EqualizerForm(*m_equalizer, this);
            showEqualizerLook();
            // Beside the main window rather than over it.
            m_equalizerForm->adjustSize();
            m_equalizerForm->move(frameGeometry().topRight() + QPoint(1, 0));
            keepOnScreen(*m_equalizerForm);
        }
        m_equalizerForm->show();
        m_equalizerForm->raise();
        m_equalizerForm->activateWindow();
    });
}
