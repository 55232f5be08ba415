#pragma once

#include "HyperKeyAction.h"

// What the event tap must do with the keyboard event it is holding.
struct HyperKeyDisposition {
    enum class Kind { perform, passThrough, passThroughAsHyper, sendEscape, suppress };

    Kind kind = Kind::passThrough;
    HyperKeyAction action; // only for perform

    static HyperKeyDisposition perform(HyperKeyAction action) { return {Kind::perform, std::move(action)}; }
    static HyperKeyDisposition passThrough() { return {Kind::passThrough, {}}; }
    static HyperKeyDisposition passThroughAsHyper() { return {Kind::passThroughAsHyper, {}}; }
    static HyperKeyDisposition sendEscape() { return {Kind::sendEscape, {}}; }
    static HyperKeyDisposition suppress() { return {Kind::suppress, {}}; }

    friend bool operator==(const HyperKeyDisposition& a, const HyperKeyDisposition& b)
    {
        return a.kind == b.kind && (a.kind != Kind::perform || a.action == b.action);
    }
};
