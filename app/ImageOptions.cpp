#include "app/ImageOptions.h"

#include "common/Texts.h"

ImageOptions OptionsAtStart(const Settings& settings) {
  ImageOptions options;
  options.command.imagePath = settings.imageTarget;
  options.settingsTarget = settings.imageTarget;
  options.command.volumeName = DEFAULT_VOLUME_NAME;
  options.command.form2Ext = DEFAULT_FORM2_EXT;
  if (settings.checks) {
    options.viewPrompt = settings.checks->viewPrompt != 0;
    options.command.keepExtension = settings.checks->keepExtension != 0;
    options.command.singleTrack = settings.checks->singleTrack != 0;
  }
  return options;
}

CheckStates ChecksToKeep(const ImageOptions& options) {
  return {options.viewPrompt ? 1 : 0, options.command.keepExtension ? 1 : 0, options.command.singleTrack ? 1 : 0};
}

void ChooseTarget(ImageOptions& options, const std::string& target) {
  options.command.imagePath = target;
  options.settingsTarget = target;
}

void ApplyStructureOptions(ImageOptions& options, const std::vector<StructureAction>& actions) {
  CommandSettings& command = options.command;
  command.keepExtension = false;
  for (const StructureAction& action : actions) {
    switch (action.kind) {
      case StructureActionKind::SetForm2Ext: command.form2Ext = action.value; break;
      case StructureActionKind::SetImagePath: command.imagePath = action.value; break;
      case StructureActionKind::SetVolumeName: command.volumeName = action.value; break;
      case StructureActionKind::SetSingleTrack: command.singleTrack = true; break;
      case StructureActionKind::SetKeepExtension: command.keepExtension = true; break;
      default: break;  // the layout's own actions
    }
  }
}
