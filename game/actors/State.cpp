#include "game/actors/State.h"

State::State(uint8_t id) : id(id) {}

void State::AddTransition(const char* name, std::function<bool()> condition, State* target)
{
    transitions.push_back(Transition{name, std::move(condition), true, target});
}

State* State::NextState() const
{
    for (const Transition& transition : transitions)
        if (transition.condition() == transition.expected)
            return transition.target;
    return nullptr;
}
