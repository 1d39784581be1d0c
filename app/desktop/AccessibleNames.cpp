// The accessible names of the drawn controls.

#include "app/desktop/AccessibleNames.h"
#include "app/browse/BrowsePanel.h"
#include "app/browse/BrowseWidgets.h"
#include "app/player/PlayerPanel.h"
#include "app/player/PlayerWidgets.h"
#include "app/shell/MainWindow.h"
#include "app/widgets/TextScroller.h"
#include "base/Messages.h"

#include <QProgressBar>
#include <QSlider>

namespace vorlane {

void ApplyAccessibleNames(TMainWindow &window)
{
    const TMessages &m = Msg();
    TPlayerPanel &player = window.PlayerPanel();
    window.Browse().sPAlphabet->setAccessibleName(m.SM_NAMEALPHABET);
    player.PBPeaksIndicator->setAccessibleName(m.SM_NAMEWAVEFORM);
    player.IVisualIndicator->setAccessibleName(m.SM_NAMEINDICATOR);
    player.sPBPositionRegulator->setAccessibleName(m.SM_NAMEPOSITION);
    player.sTBPlaySpeed->setAccessibleName(m.SM_NAMESPEED);
    player.sTBVolume->setAccessibleName(m.SM_NAMEVOLUME);
    window.Frame().TSStatus->setAccessibleName(m.SM_NAMESTATUS);
}

} // namespace vorlane
