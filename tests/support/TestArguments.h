#pragma once
// Command-line arguments left over after GoogleTest took its own.
#include <string>
#include <vector>

std::vector<std::string>& TestArguments();

// A path as the test was given it: a Unix path (from CTest under Wine)
// becomes its Z: drive form.
std::string WindowsPath(const std::string& path);
