#pragma once
// The V4L2 capture nodes a USB camera can be chosen from: those with pan/tilt or zoom
// controls, named by the camera (VIDIOC_QUERYCAP's card) and given by their stable
// v4l/by-id/ name where there is one, so that the choice survives another USB port.
#include <string>
#include <vector>

struct UvcNodeInfo
{
    std::string path;  // the by-id name, else the node itself
    std::string card;
};

// Looks at devDir/video* (and devDir/v4l/by-id/); each node is asked at most timeoutMs
// per call, so a node that does not answer delays the list without holding it.
std::vector<UvcNodeInfo> ListUvcNodes(const std::string& devDir = "/dev", int timeoutMs = 400);
