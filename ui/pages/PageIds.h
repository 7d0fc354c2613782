#pragma once
// Dialog and control ids of the Auto and Manual pages. The pad, zoom and option buttons
// carry the same ids on both pages; a hold button reports its id with WM_PAD_BUTTON.
constexpr int IDD_AUTO_PAGE = 194;
constexpr int IDD_MANUAL_PAGE = 195;

constexpr int IDC_POSITION_PICTURE = 1002;
constexpr int IDC_PAD_UP_LEFT = 1003;
constexpr int IDC_PAD_UP = 1004;
constexpr int IDC_PAD_UP_RIGHT = 1005;
constexpr int IDC_PAD_LEFT = 1006;
constexpr int IDC_POSITION_NAME = 1007;  // Auto page only; the pad has no centre button
constexpr int IDC_PAD_RIGHT = 1008;
constexpr int IDC_PAD_DOWN_LEFT = 1009;
constexpr int IDC_PAD_DOWN = 1010;
constexpr int IDC_PAD_DOWN_RIGHT = 1011;
constexpr int IDC_ZOOM_IN = 1012;
constexpr int IDC_ZOOM_OUT = 1013;
constexpr int IDC_VIEW_BUTTON1 = 1014;
constexpr int IDC_VIEW_BUTTON2 = 1015;
constexpr int IDC_VIEW_BUTTON3 = 1016;
constexpr int IDC_POSITION_TEXT = 1019;
constexpr int IDC_DISC_SELECTOR = 1036;
constexpr int IDC_BAR_SELECTOR = 1037;
constexpr int IDC_TRIANGLE_SELECTOR = 1038;

// Camera positions as the camera reports them; anything else means no camera.
constexpr int kCameraRelease = 0;
constexpr int kCameraUpside = 1;
constexpr int kCameraOhp = 2;
constexpr int kCameraFront = 3;
constexpr int kNoCamera = 255;
