// The hidden start-up window: its load reads the general section and loads the applet windows.
#pragma once

#include "core/forms.h"
#include "core/program.h"

namespace core {

class frmMain : public forms::Form {
public:
    explicit frmMain(Program& program);
    void Form_Load() override;

private:
    Program& program_;
};

}  // namespace core
