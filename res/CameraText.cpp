#include "res/CameraText.h"

#include "res/CameraStrings.h"
#include "res/Strings.h"

namespace {

// A text of the QVT-VZ1 and the same sentence for any camera; the same id twice for a
// text that only another camera shows.
struct NamedText
{
    UINT own, other;
};
constexpr NamedText kNamedTexts[] = {
    {35011, kStrCameraImproper},
    {35015, kStrCameraAvailable},
    {35016, kStrCameraNotConnected},
    {kStrNoVideoFormat, kStrNoVideoFormat},
    {kStrNoFirmwareUpdate, kStrNoFirmwareUpdate},
};

} // namespace

QString LoadCameraText(UINT id, const QString& name)
{
    for (const NamedText& t : kNamedTexts)
        if (t.own == id)
            return name.isEmpty() && t.own != t.other ? LoadStringRes(id) : LoadStringRes(t.other).arg(name);
    return LoadStringRes(id);
}
