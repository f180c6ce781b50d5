// One actor's per-frame records: what goes into its shader's dynamic and storage blocks and what
// it pushes as constants. The frame builds them from the actor's resolved components (DrawItem);
// ResolveDrawItem gives them for a single actor.
#pragma once

#include "renderer/DrawItem.h"
#include "renderer/UniformRecords.h"

// The item's TransformComponent model matrix, or the identity without one.
glm::mat4 ActorModelMatrix(const DrawItem& item);
// Transpose of the inverse of the model matrix.
glm::mat4 NormalMatrix(const glm::mat4& model);

BaseRecord MakeBaseRecord(const DrawItem& item);
PbrRecord MakePbrRecord(const DrawItem& item);
AnimRecord MakeAnimRecord(const DrawItem& item);
// Bones from the item's AnimationComponent, identities without one.
void FillAnimStorageRecord(const DrawItem& item, AnimStorageRecord& record);

// Without a material: (f0, f1, f2, 0) and eight -1; with one: zero colour and its eight texture
// indices widened from 16 bits, so an empty slot arrives as -1; then the item's point lights.
PushConstantRecord MakePushConstantRecord(const DrawItem& item);
