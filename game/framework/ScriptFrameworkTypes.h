#pragma once
// The framework's types as scripts see them: the mouse status, the core, the update argument,
// the animation list, nodes, renderable objects, messages, variants and property bags.
// Registers the types themselves, in that order; their members follow separately, since they
// refer to each other.
void geRegisterScriptFrameworkTypes();
// The members of the property values, the bag, the message, the mouse status, the animation
// list and the update argument.
void geRegisterScriptValueMembers();
