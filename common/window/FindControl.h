// A control of a window by its id, of the class the caller expects. A window
// built from a template looks each control up once; one that is missing or of
// another class is a fault of the template, and fails loudly.
#pragma once

#include <wx/window.h>

#include <stdexcept>
#include <string>

template <class T>
T* FindControl(wxWindow* window, int id) {
  T* control = dynamic_cast<T*>(window->FindWindow(id));
  if (!control) {
    throw std::logic_error("window " + window->GetName().utf8_string() + ": control " +
                           std::to_string(id) + " missing");
  }
  return control;
}
