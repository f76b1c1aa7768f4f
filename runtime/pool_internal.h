// Private pools, shared between the pool code and the shared-pool registry.
#pragma once
#include <stdint.h>
#include "runtime/lists.h"

NodePool* pool_create_private(int64_t node_size, int32_t minimum, int32_t maximum, int32_t flags);
void pool_destroy_private(NodePool* pool);
void* pool_share_entry(NodePool* pool);
void pool_set_share_entry(NodePool* pool, void* entry);
int64_t pool_slot_size(const NodePool* pool);
