// The parent's output: one line per event, fields separated by tabs, line
// breaks inside texts written as \r and \n so that each event stays on one
// line for the scenario scripts.
#pragma once

#include <string>

std::string OneLine(const std::string &text);
void Report(const std::string &label, const std::string &event, const std::string &fields);
