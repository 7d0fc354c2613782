#include "ui/controller/ControllerMenu.h"

#include "camera/CameraConnectionApi.h"
#include "controller/ControllerSession.h"
#include "platform/WinMessages.h"
#include "res/CameraStrings.h"
#include "res/CameraText.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <QMenu>
#include <QMenuBar>

ControllerMenu::ControllerMenu(QMenuBar* bar, QObject* target)
    : m_pMenu(bar->addMenu(LoadMenuString(IDR_CONTROLLER_MENU, 0)))
{
    m_pMenu->setToolTipsVisible(true);  // a greyed item says why
    auto add = [this, target](UINT id) {
        QAction* a = m_pMenu->addAction(LoadMenuString(IDR_CONTROLLER_MENU, id));
        a->setData(id);
        QObject::connect(a, &QAction::triggered, target, [target, id] { PostMessage(target, WM_COMMAND, id, 0); });
        return a;
    };
    add(ID_FILE_EXPORT);
    add(ID_FILE_IMPORT);
    m_pMenu->addSeparator();
    add(ID_VIDEO_WINDOW)->setCheckable(true);
    add(ID_SETTINGS);
    add(ID_FIRMWARE_UPDATE);
    m_pMenu->addSeparator();
    add(ID_APP_ABOUT);
    add(ID_CLOSE_CONTROLLER);
}

void ControllerMenu::UpdateStates(const ControllerSession& session, bool videoWindowOpen)
{
    const bool cameraOpen = session.CameraOpen();
    for (QAction* a : m_pMenu->actions()) {
        if (a->isSeparator())
            continue;
        switch (a->data().toUInt()) {
        case ID_FILE_EXPORT:
        case ID_FILE_IMPORT: a->setEnabled(rules::SettingFilesEnabled(session.Controls())); break;
        case ID_APP_ABOUT: a->setEnabled(cameraOpen); break;
        case ID_FIRMWARE_UPDATE: {
            // Only the QVT-VZ1 takes a firmware image; the tooltip tells the user why not.
            const bool takesFirmware = CamCapabilities().firmware;
            a->setEnabled(cameraOpen && takesFirmware);
            a->setToolTip(takesFirmware ? QString()
                                        : LoadCameraText(kStrNoFirmwareUpdate, QString::fromStdString(CamConnection().Name())));
            break;
        }
        case ID_VIDEO_WINDOW: a->setChecked(videoWindowOpen); break;
        default: a->setEnabled(true); break;
        }
    }
}
