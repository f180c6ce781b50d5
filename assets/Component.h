// Base of every component: plain data holders that systems find on actors by their class.
#pragma once

class Component {
public:
    virtual ~Component() = default;
};
