// One actor's per-frame records: what goes into its shader's dynamic and storage blocks and what
// it pushes as constants.
#pragma once

#include "renderer/UniformRecords.h"

class Actor;

// The actor's TransformComponent model matrix, or the identity without one.
glm::mat4 ActorModelMatrix(const Actor& actor);
// Transpose of the inverse of the model matrix.
glm::mat4 NormalMatrix(const glm::mat4& model);

BaseRecord MakeBaseRecord(const Actor& actor);
PbrRecord MakePbrRecord(const Actor& actor);
AnimRecord MakeAnimRecord(const Actor& actor);
// Bones from the actor's AnimationComponent, identities without one.
void FillAnimStorageRecord(const Actor& actor, AnimStorageRecord& record);

// Without a material: (f0, f1, f2, 0) and eight -1; with one: zero colour and its eight texture
// indices widened from 16 bits, so an empty slot arrives as -1.
PushConstantRecord MakePushConstantRecord(const Actor& actor);
