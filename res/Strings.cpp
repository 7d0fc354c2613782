#include "res/Strings.h"

#include "res/LanguageCatalogue.h"
#include "res/Resource.h"

#include <atomic>
#include <unordered_map>

namespace {

// Built-in English texts, exactly as the program shows them.
const std::unordered_map<UINT, const char*>& BuiltInStrings()
{
    static const std::unordered_map<UINT, const char*> table{
        {102, "QVT-VZ1"},
        {103, "Windows sockets initialization failed."},
        // Command prompts of the controller's File menu.
        {ID_FILE_EXPORT, "Export\nExport current settings."},
        {ID_FILE_IMPORT, "Import\nImport camera settings from file."},
        // Camera stand positions and their descriptions (Auto page).
        {35000, "Release"},
        {35001, "Upside"},
        {35002, "OHP"},
        {35003, "Front"},
        {35004, "Not Available"},
        {35006, "QVT-VZ1 Firmware Ver.%s"},
        {35007, "Release the camera to use it in the handheld style."},
        {35008, "Shoot an image above the camera lens. Suitable for taking an image of all conference participants. "},
        {35009, "Shoot an image below the camera lens as an overhead projector. Suitable for taking an image of "
                "documents (best for 148 x 210 mm). "},
        {35010, "Shoot an image in front of the camera lens. Suitable for taking an image of particular conference "
                "participant. "},
        {35011, "The connection between QVT-VZ1 and PC is improper."},
        {35012, "Enable Tracking"},
        // Tray balloons and questions.
        {35013, "Communication Error. Cannot establish."},
        {35014, "Current camera settings will be replaced with new settings. Are you sure to continue?"},
        {35015, "QVT-VZ1 is available."},
        {35016, "QVT-VZ1 is not connected to this PC."},
        // Firmware update.
        {35017, "Update QVT-VZ1 firmware. Be sure to exit all applications used by QVT-VZ1.\r\n"
                "To start the update process, press the Start button."},
        {35018, "Firmware download failed."},
        {35019, "Close"},
        {35020, "Firmware update completed successfully."},
        {35021, "Restarting QVT-VZ1. Please wait."},
        {35022, "New firmware is being written to QVT-VZ1.\r\n"
                "!!!Be sure not to disconnect QVT-VZ1 from the USB port!!!"},
        {35023, "Loading firmware file failed."},
        {35024, "Firmware writing failed."},
        {35025, "Cannot obtain firmware version information."},
        {35026, "No update needed. Start update?"},
        {35027, "The updating process has been canceled by user."},
        // Setting files.
        {35028, "Invalid Device\nCannot read the file because it is created by newer version of the QVT-VZ "
                "controller."},
        // Speakerphones of the "Device Name" box, by tracking source kind 0..5.
        {35029, "Without Sonvara"},
        {35030, "QVT-40S"},
        {35031, "QVT-90UX"},
        {35032, "QVT-18TR"},
        {35033, "QVT-40S (MZC)"},
        {35034, "QVT-90X (MZC)"},
        // Release notes of the firmware: a deployment setting.
        {35035, "http://www.norvel.example/sonvara/download/firm/qvtvz1/history.html"},
        {35036, "Current firmware version : %s"},
        {35037, "Current firm ware version [%s]\n Firmware version to be downloaded [%s]\nStart update?"},
        // Tooltips of the picture buttons: hold buttons by control id, then the options.
        {36000, "Turn up and left while held"},
        {36001, "Turn up while held"},
        {36002, "Turn up and right while held"},
        {36003, "Turn left while held"},
        {36005, "Turn right while held"},
        {36006, "Turn down and left while held"},
        {36007, "Turn down while held"},
        {36008, "Turn down and right while held"},
        {36009, "Zoom in while held"},
        {36010, "Zoom out while held"},
        {36020, "Back to the standard zoom"},
        {36023, "A view per talker: pick a direction, then steer with the pad to teach its view"},
        {36024, "Camera's built-in view: two bands"},
        {36025, "Camera's built-in view: round"},
        {36026, "Document size A5"},
        {36027, "Rotate the picture by 90\u00B0"},
        {36029, "Factory view of the chosen direction"},
        {36030, "Wide view of the chosen direction: steer with the pad to teach it"},
        {36032, "Own view: steer with the pad to teach it"},
        {36033, "Camera's built-in view: two bands"},
        {36034, "Camera's built-in view: round"},
        {36040, "Talker direction: pick it to teach its view"},
        {36041, "Nobody speaking: pick it to teach the view"},
        // File-dialog filters.
        {36050, "Setting Files (*.set)"},
        {36051, "All Files (*)"},
        {36052, "Firmware Update Files (*.BIN *.bin)"},
        {36060, "Unknown"},
        {36061, "Closing the camera"},
        {36062, "NO VIDEO"},
        // Microphone arrays: the "Device Name" entry and the settings dialog's group.
        {36500, "Microphone array"},
        {36501, "Capture device"},
        {36502, "First array found"},
        {36503, "Geometry"},
        {36504, "Circular"},
        {36505, "Linear"},
        {36506, "Custom (profile)"},
        {36507, "Microphones"},
        {36508, "Radius / spacing (mm)"},
        {36509, "Angle of direction 0 (degrees)"},
        {36510, "Heard: %d degrees, sector %d, level %d dB"},
        {36511, "No voice heard, level %d dB"},
        {36512, "Not listening: start tracking with the microphone array to check it."},
        // The settings dialog's "Fleet" group.
        {36900, "Fleet"},
        {36901, "Broker"},
        {36902, "Room"},
        {36903, "User name"},
        {36904, "Password"},
        {36905, "Password file"},
        {36906, "CA file"},
        {36907, "Announce the room to Home Assistant"},
        {36908, "The broker is mqtt://host:port or mqtts://host:port."},
        {36909, "A room name has no '/', '+' or '#' and is not \"all\"."},
        // Setting files that cannot be written or read.
        {35900, "The setting file could not be written."},
        {35901, "The setting file could not be read."},
        // A USB camera (UVC): its choice in the "Camera" group and the pads it lacks.
        {36460, "USB camera (UVC)"},
        {36462, "Enter the camera's video device."},
        {36463, "The camera answered: %1, driver %2."},
        {36464, "This camera cannot pan and tilt."},
        {36465, "This camera has no zoom."},
        // Camera connection (settings dialog "Camera" group) and what other cameras lack.
        {36400, "Camera"},
        {36401, "QVT-VZ1 (USB, found automatically)"},
        {36402, "VISCA camera on a serial port"},
        {36403, "VISCA camera on the network"},
        {36404, "Port"},
        {36405, "Speed"},
        {36406, "Camera address"},
        {36407, "Host name or address"},
        {36408, "Transport"},
        {36410, "VISCA over IP (UDP 52381)"},
        {36411, "VISCA over TCP"},
        {36412, "VISCA over UDP"},
        {36413, "Model"},
        {36414, "Custom"},
        {36415, "Framing"},
        {36416, "All participants"},
        {36417, "One participant"},
        {36418, "Test"},
        {36419, "The camera answered: vendor %1, model %2, ROM version %3."},
        {36420, "No answer from the camera: %1"},
        {36421, "Camera %1 has no video output format setting."},
        {36422, "Camera %1 takes no firmware update; only the QVT-VZ1 does."},
        {36423, "Enter the camera's host name or address."},
        {36424, "Enter the camera's serial port."},
        {36425, "Custom: the ranges are edited in the \"Camera\" section of the profile."},
        {36470, "Video stream"},
        {36471, "Enter a video stream address that starts with rtsp://, http:// or udp://, or leave it empty."},
        {36430, "Standard VISCA PTZ camera"},
        {36431, "EVI-D70 family"},
        {36432, "EVI-D80/D90 family"},
        {36433, "BRC-H700 family (20-bit pan)"},
        {36440, "Camera %1 is available."},
        {36441, "Camera %1 is not connected."},
        {36442, "The connection between camera %1 and PC is improper."},
    };
    return table;
}

constexpr UINT MenuKey(UINT menuId, UINT commandId)
{
    return (menuId << 16) | (commandId & 0xFFFF);
}

const std::unordered_map<UINT, const char*>& BuiltInMenus()
{
    static const std::unordered_map<UINT, const char*> table{
        {MenuKey(IDR_TRAY_MENU, 0), "Tray"},
        {MenuKey(IDR_TRAY_MENU, ID_SHOW_CONTROLLER), "Show &Controller"},
        {MenuKey(IDR_TRAY_MENU, ID_ALWAYS_ON_TOP), "Always on &Top"},
        {MenuKey(IDR_TRAY_MENU, ID_APP_ABOUT), "&About QVT-VZ1 Controller..."},
        {MenuKey(IDR_TRAY_MENU, ID_APP_EXIT), "&Exit"},
        {MenuKey(IDR_CONTROLLER_MENU, 0), "&File"},
        {MenuKey(IDR_CONTROLLER_MENU, ID_FILE_EXPORT), "&Export..."},
        {MenuKey(IDR_CONTROLLER_MENU, ID_FILE_IMPORT), "&Import"},
        {MenuKey(IDR_CONTROLLER_MENU, ID_VIDEO_WINDOW), "Show &Video Window..."},
        {MenuKey(IDR_CONTROLLER_MENU, ID_SETTINGS), "&Settings..."},
        {MenuKey(IDR_CONTROLLER_MENU, ID_FIRMWARE_UPDATE), "QVT-VZ1 Firmware &Update..."},
        {MenuKey(IDR_CONTROLLER_MENU, ID_APP_ABOUT), "&About QVT-VZ1 Controller..."},
        {MenuKey(IDR_CONTROLLER_MENU, ID_CLOSE_CONTROLLER), "&Close"},
    };
    return table;
}

std::atomic<const CLanguageCatalogue*> g_catalogue{nullptr};

// The conversions of a printf-style text in order ("%s%d"), "%%" left out.
QString Conversions(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'%')
            continue;
        qsizetype j = i + 1;
        // Qt's numbered placeholder (%1 .. %99), whatever follows it; "%2d" stays a width.
        if (text.at(j) >= u'1' && text.at(j) <= u'9') {
            qsizetype k = j;
            while (k < text.size() && text.at(k).isDigit())
                ++k;
            if (k == text.size() || !QStringLiteral("diouxXfFeEgGaAcsp").contains(text.at(k))) {
                out += u'{' + text.mid(j, k - j) + u'}';
                i = k - 1;
                continue;
            }
        }
        while (j < text.size() && QStringLiteral("-+ #0123456789.lhz").contains(text.at(j)))
            ++j;
        if (j < text.size() && text.at(j) != u'%')
            out += text.at(j);
        i = j;
    }
    return out;
}

QString Lookup(const std::unordered_map<UINT, const char*>& table, UINT key)
{
    const auto it = table.find(key);
    return it == table.end() ? QString() : QString::fromUtf8(it->second);
}

} // namespace

QString LoadStringRes(UINT id)
{
    QString builtIn = Lookup(BuiltInStrings(), id);
    if (const CLanguageCatalogue* c = g_catalogue.load()) {
        QString text = c->String(id);
        // A translation whose placeholders differ from the English text would be formatted
        // with the wrong arguments; the English text is the safe choice then.
        if (!text.isEmpty() && Conversions(text) == Conversions(builtIn))
            return text;
    }
    return builtIn;
}

QString LoadFilterString(UINT id)
{
    const QString builtIn = Lookup(BuiltInStrings(), id);
    const QString text = LoadStringRes(id);
    const auto patterns = [](const QString& filter) { return filter.mid(filter.lastIndexOf(u'(')); };
    return patterns(text) == patterns(builtIn) ? text : builtIn;
}

int AfxMessageBox(UINT stringId, UINT type)
{
    return AfxMessageBox(LoadStringRes(stringId), type);
}

QString LoadMenuString(UINT menuId, UINT commandId)
{
    if (const CLanguageCatalogue* c = g_catalogue.load()) {
        QString text = c->MenuItem(menuId, commandId);
        if (!text.isEmpty())
            return text;
    }
    return Lookup(BuiltInMenus(), MenuKey(menuId, commandId));
}

QString LoadDialogString(UINT templateId, UINT controlId, const char* builtIn)
{
    if (const CLanguageCatalogue* c = g_catalogue.load()) {
        QString text = c->DialogItem(templateId, controlId);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(builtIn ? builtIn : "");
}

void AfxSetResourceCatalogue(const CLanguageCatalogue* catalogue)
{
    g_catalogue.store(catalogue);
}

const CLanguageCatalogue* AfxGetResourceCatalogue()
{
    return g_catalogue.load();
}
