#pragma once
// String ids of the camera connection: the "Camera" group of the settings dialog and the
// texts that tell why a control is off for a camera other than the QVT-VZ1.
#include "platform/WinTypes.h"

constexpr UINT kStrCameraGroup = 36400;
constexpr UINT kStrCameraUsb = 36401;
constexpr UINT kStrCameraSerial = 36402;
constexpr UINT kStrCameraNetwork = 36403;
constexpr UINT kStrCameraPort = 36404;
constexpr UINT kStrCameraSpeed = 36405;
constexpr UINT kStrCameraAddress = 36406;
constexpr UINT kStrCameraHost = 36407;
constexpr UINT kStrCameraTransport = 36408;
constexpr UINT kStrTransportViscaIp = 36410;
constexpr UINT kStrTransportTcp = 36411;
constexpr UINT kStrTransportUdp = 36412;
constexpr UINT kStrCameraModel = 36413;
constexpr UINT kStrModelCustom = 36414;
constexpr UINT kStrCameraFraming = 36415;
constexpr UINT kStrFramingAll = 36416;
constexpr UINT kStrFramingOne = 36417;
constexpr UINT kStrCameraTest = 36418;
constexpr UINT kStrTestAnswered = 36419;     // %1 vendor, %2 model, %3 ROM version
constexpr UINT kStrTestNoAnswer = 36420;     // %1 the reason
constexpr UINT kStrNoVideoFormat = 36421;     // %1 the camera (CameraConnection::Name())
constexpr UINT kStrNoFirmwareUpdate = 36422;  // %1 the camera
constexpr UINT kStrEnterHost = 36423;
constexpr UINT kStrEnterPort = 36424;
constexpr UINT kStrCustomRanges = 36425;
// A USB camera (UVC).
constexpr UINT kStrCameraUvc = 36460;
constexpr UINT kStrEnterDevice = 36462;
constexpr UINT kStrTestAnsweredUvc = 36463;  // %1 the camera's name, %2 its driver
constexpr UINT kStrNoPanTilt = 36464;
constexpr UINT kStrNoZoom = 36465;
constexpr UINT kStrCameraVideoStream = 36470;
constexpr UINT kStrEnterVideoStream = 36471;
// Names of the built-in models, in the order of BuiltInModels() after the QVT-VZ1.
constexpr UINT kStrFirstModelName = 36430;
// The QVT-VZ1's balloons and Auto page note for any other camera (res/CameraText.h); %1 its name.
constexpr UINT kStrCameraAvailable = 36440;
constexpr UINT kStrCameraNotConnected = 36441;
constexpr UINT kStrCameraImproper = 36442;
