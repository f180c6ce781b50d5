// One state of an actor's state machine and the named transitions that leave it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class State;

struct Transition {
    const char* name = nullptr;
    std::function<bool()> condition;
    bool expected = true; // the condition's value that fires the transition
    State* target = nullptr;
};

class State {
public:
    std::vector<Transition> transitions; // tried in insertion order
    uint8_t id = 0;

    explicit State(uint8_t id);

    void AddTransition(const char* name, std::function<bool()> condition, State* target);
    // The target of the first transition whose condition returns its expected value, else null.
    State* NextState() const;
};
