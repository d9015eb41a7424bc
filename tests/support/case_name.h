#pragma once

#include <gtest/gtest.h>

#include <string>

namespace lumaref::test {

// Names a parameterised case by its `name` member, so ctest and failures name it in words.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& instance) const {
        return std::string(instance.param.name);
    }
};

}  // namespace lumaref::test
