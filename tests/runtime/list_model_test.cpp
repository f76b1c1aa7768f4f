// Lists and pools against a simple model: thousands of random operations
// with a fixed seed, ending with every chunk given back to the heap.
#include <gtest/gtest.h>
#include <random>
#include <vector>
#include "runtime/lists.h"

struct ModelList {
    LinkedList* list;
    ListVariable variable;
    int64_t element_size;
    std::vector<int64_t> values;
    int64_t current;    // -1: no current element
};

static int64_t value_at(void* data) {
    return data ? *static_cast<int64_t*>(data) : -1;
}

static int64_t model_add(ModelList* m, int64_t value) {
    int64_t* data = static_cast<int64_t*>(list_add(m->list));
    *data = value;
    m->current = m->current >= 0 ? m->current + 1 : 0;
    m->values.insert(m->values.begin() + m->current, value);
    return value;
}

static int64_t model_next(ModelList* m) {
    int64_t got = value_at(list_next(m->list));
    int64_t size = static_cast<int64_t>(m->values.size());
    int64_t expected = -1;
    if (m->current < 0 && size > 0) {
        m->current = 0;
        expected = m->values[0];
    } else if (m->current >= 0 && m->current + 1 < size) {
        expected = m->values[++m->current];
    }
    EXPECT_EQ(got, expected);
    return got;
}

static void model_select(ModelList* m, int64_t index) {
    int64_t got = value_at(list_select(m->list, index));
    int64_t size = static_cast<int64_t>(m->values.size());
    m->current = (index >= 0 && index < size) ? index : -1;
    EXPECT_EQ(got, m->current >= 0 ? m->values[index] : -1);
}

static void model_clear(ModelList* m) {
    list_clear(m->list);
    m->values.clear();
    m->current = -1;
}

// Walks the whole list and compares it with the model.
static void model_check(ModelList* m) {
    ASSERT_EQ(list_size(m->list), static_cast<int64_t>(m->values.size()));
    int64_t current = m->current;
    void* node = m->variable.current;
    EXPECT_EQ(node == nullptr, current < 0);
    if (node) {
        EXPECT_EQ(value_at(static_cast<char*>(node) + 16), m->values[current]);
    }
    list_reset(m->list);
    for (int64_t value : m->values) {
        EXPECT_EQ(value_at(list_next(m->list)), value);
    }
    EXPECT_EQ(list_next(m->list), nullptr);
    m->current = m->values.empty() ? -1 : static_cast<int64_t>(m->values.size()) - 1;
}

static void model_create(ModelList* m) {
    m->variable = {};
    m->list = list_create(m->element_size, &m->variable, nullptr, 0);
    m->values.clear();
    m->current = -1;
}

TEST(ListModel, RandomOperationsMatchTheModelAndReturnEveryChunk) {
    int64_t chunks_before = pool_chunk_count();
    std::mt19937 random(20240611);
    // Two lists share a pool (same element size), a third has its own.
    ModelList lists[3] = {};
    lists[0].element_size = 8;
    lists[1].element_size = 8;
    lists[2].element_size = 40;
    for (ModelList& m : lists) {
        model_create(&m);
    }
    int64_t next_value = 1;
    for (int step = 0; step < 20000; step++) {
        ModelList* m = &lists[random() % 3];
        int64_t size = static_cast<int64_t>(m->values.size());
        switch (random() % 16) {
        case 0: case 1: case 2: case 3: case 4: case 5:
            model_add(m, next_value++);
            break;
        case 6:
            list_reset(m->list);
            m->current = -1;
            break;
        case 7: case 8: case 9:
            model_next(m);
            break;
        case 10: case 11: case 12:
            model_select(m, static_cast<int64_t>(random() % (size + 3)) - 1);
            break;
        case 13:
            if (random() % 8 == 0) {
                model_clear(m);
            }
            break;
        case 14:
            if (random() % 16 == 0) {
                list_free(m->list);
                EXPECT_EQ(m->variable.list, nullptr);
                model_create(m);
            }
            break;
        default:
            model_check(m);
            break;
        }
        if (testing::Test::HasFailure()) {
            FAIL() << "diverged at step " << step;
        }
    }
    for (ModelList& m : lists) {
        model_check(&m);
        list_free(m.list);
    }
    EXPECT_EQ(pool_chunk_count(), chunks_before);
}
