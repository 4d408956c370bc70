#pragma once

// The 3D view's camera and navigation state, as plain data with the operations that change
// it, so the camera rules are tested without a window.

#include <cstdint>
#include <string>

struct ViewCamera {
    // Held movement inputs, one bit each.
    enum MoveFlag : std::uint32_t {
        MoveForward = 0x002,
        MoveBack = 0x004,
        TurnLeft = 0x008,
        TurnRight = 0x010,
        StrafeLeft = 0x020,
        StrafeRight = 0x040,
        MoveUp = 0x080,
        MoveDown = 0x100,
    };

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

    // Qt key codes. Keys act only in first-person mode; `alt` is the reverse modifier.
    void KeyDown(int key, bool alt);
    void KeyUp(int key, bool alt);

    // One step of the movement timer over every held input.
    void MovementTick();

    // A mouse move of (dx, dy) pixels with the rotating button held.
    void MouseTurn(int dx, int dy, bool alt);

    void WheelZoom(int delta);     // orbit mode only
    void ZoomStep(float divisor);  // zoom += zoom / divisor, either mode
    void ResetView();              // angles and zoom to their start values, target kept
    void SetFirstPerson(bool on);  // clears the held inputs, keeps angles and target

    void SetTarget(float x, float y, float z);

    // "x, y, z", each as "%1.6g".
    std::string PositionText() const;
};

// Wraps an angle once into [0, 360]: above 360 minus 360, below 0 plus 360.
float wrapAngle(float degrees);
