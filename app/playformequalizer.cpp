// The equalizer on the main window: sent to the player once its library is loaded, and the
// Equalizer window of the Options menu.
#include "application.h"
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
    m_equalizer->setPlayer(m_Player);
    ui->Equalizer1->setEnabled(m_equalizer->available());
}

void TPlayForm::Equalizer1Click()
{
    CommandScope::run([this] {
        const bool first = !m_equalizerForm;
        if (first)
            m_equalizerForm = new EqualizerForm(*m_equalizer, this);
        // The skin may have changed since the window was last open.
        m_equalizerForm->takeLook(ui->InfoLabel->fontName(), ui->InfoLabel->fontColor(),
                                  ui->LMDPanelFill1->bitmap());
        if (first) {
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
