#include "app/load_actions.h"

#include <gtest/gtest.h>
