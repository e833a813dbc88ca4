// Tests of the main window part named in the file name.
#include <gtest/gtest.h>
