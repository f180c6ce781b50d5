// A game controller without hardware: SDL's virtual joystick, described as a game controller so
// that SDL gives it the standard mapping (axes and buttons in SDL's game controller order). Its
// sticks, trigger and buttons are set here; SDL turns the changes into controller events on the
// next event pump, as it does for a real pad.
#pragma once

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <functional>

class VirtualPad {
public:
    VirtualPad()
    {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Zorbulon test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
        id_ = joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
        // The triggers rest at the bottom of their travel.
        Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    ~VirtualPad()
    {
        Detach();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Raw values, as the hardware reports them: -32768 to 32767.
    void Axis(SDL_GameControllerAxis axis, int16_t value)
    {
        if (joystick_)
            SDL_JoystickSetVirtualAxis(joystick_, axis, value);
    }
    // A stick by share of its travel in [-1, 1].
    void Stick(SDL_GameControllerAxis xAxis, float x, float y)
    {
        Axis(xAxis, Raw(x));
        Axis(static_cast<SDL_GameControllerAxis>(xAxis + 1), Raw(y));
    }
    void Trigger(bool pulled) { Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, pulled ? 32767 : -32768); }
    void Button(SDL_GameControllerButton button, bool down)
    {
        if (joystick_)
            SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    // Pulled out of the machine.
    void Detach()
    {
        if (!joystick_)
            return;
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id_)
                SDL_JoystickDetachVirtual(i);
    }

    // Hands every pending SDL event to `handle`.
    static void Deliver(const std::function<void(const SDL_Event&)>& handle)
    {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PollEvent(&event))
            handle(event);
    }

    SDL_JoystickID Id() const { return id_; }

private:
    static int16_t Raw(float share)
    {
        const float v = share * 32767.0f;
        return static_cast<int16_t>(v < -32768.0f ? -32768.0f : (v > 32767.0f ? 32767.0f : v));
    }

    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;
};
