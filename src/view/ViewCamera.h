#pragma once

// The 3D view's camera and navigation state, as plain data with the operations that change
// it, so the camera rules are tested without a window. (Operations are added by the view.)

#include <cstdint>

struct ViewCamera {
    // Orbit camera: angles in degrees about X, Y and Z, and the signed zoom distance.
    float AngleX = 0.0f, AngleY = 0.0f, AngleZ = 0.0f;
    float Zoom = -600.0f;
    // First-person camera: pitch kept within [-180, 0], a fixed Y angle, heading.
    float Pitch = -90.0f, FirstPersonY = 0.0f, Heading = 0.0f;
    // The point orbited and looked at; in first-person mode the camera's own position.
    float TargetX = 0.0f, TargetY = 0.0f, TargetZ = 0.0f;
    bool FirstPerson = false;
    std::uint32_t MoveFlags = 0; // held movement inputs
    int SpeedIndex = 1;          // 0 slow, 1 normal, 2 fast
    bool Reverse = false;
};
