// Shared inside bvsim.dll: the parts that simReset puts back.
#pragma once

namespace bvsim {

void resetStillImageControl();  // sim_sti_control.cpp
void resetCommandState();       // sim_commands.cpp

}  // namespace bvsim
