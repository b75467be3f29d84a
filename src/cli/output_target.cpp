#include "cli/output_target.h"

#include <utility>

#include "services/error.h"
#include "services/paths.h"

namespace zerova {

OutputTarget::OutputTarget(const std::string& output, const std::function<void()>& check_stop) {
  if (output.empty()) return;
  OutputPlace place = OpenOutputPlace(output, check_stop);
  switch (place.kind) {
    case OutputPlace::Kind::kFile:
      file_ = output;
      return;
    case OutputPlace::Kind::kFolder:
      throw FileSystemError(output,
                            "is a folder; give a file name, or --outdir DIR to write into it");
    case OutputPlace::Kind::kMissingFolder:
      throw FileSystemError(output, "the folder " + FolderOf(output) + " does not exist");
    case OutputPlace::Kind::kStream:
      stream_ = std::move(place.stream);
      return;
  }
}

OutputTarget::~OutputTarget() {
  if (stream_.file != nullptr) std::fclose(stream_.file);
}

void OutputTarget::Into(ConversionRequest& request) const {
  request.output = file_;
  request.output_stream = stream_.file;
  request.output_stream_name = stream_.name;
  request.output_stream_limit = stream_.size_limit;
}

void OutputTarget::Close() {
  std::FILE* stream = std::exchange(stream_.file, nullptr);
  if (stream != nullptr && std::fclose(stream) != 0) {
    throw PosixError(stream_.name, "write the document", errno);
  }
}

}  // namespace zerova
