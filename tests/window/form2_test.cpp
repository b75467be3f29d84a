// Form2 without a toolkit, through a fake view: a conversion on its own thread
// after the program's file is gone.
#include "window/form2.h"

#include <gtest/gtest.h>

#include "services/error.h"
#include "support/document.h"
#include "support/memory_file_system.h"
#include "window/fake_view.h"

namespace zerova {
namespace {

using test::FakeView;
using test::MemoryFileSystem;

// The disk of a program whose file an upgrade replaces once `upgraded`: its
// folder can no longer be found from it.
struct UpgradedProgram final : MemoryFileSystem {
  std::string ProgramFolder() override {
    if (upgraded) throw FileSystemError("/proc/self/exe", "could not find the program's folder");
    return MemoryFileSystem::ProgramFolder();
  }
  bool upgraded = false;
};

// Select, Convert after an upgrade: the run renews the scratch file in the
// folder found at the start, the completion box names the document, and the
// program ends.
TEST(Form2, ConvertsWithTheProgramsFolderFoundAtItsStart) {
  FakeView view;
  view.chosen = "/work/book.xls";
  auto disk = std::make_unique<UpgradedProgram>();
  UpgradedProgram& files = *disk;
  Form2 form(view, {std::make_unique<test::GivenSheetService>(test::ColumnsSheet({{"A", "a"}})),
                    std::move(disk)});
  files.upgraded = true;
  form.Click(Control::kCommand2);
  form.Click(Control::kCommand1);
  ASSERT_TRUE(view.RunUntil([&] { return view.status.has_value(); }));
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].text, "XML created successfully");
  EXPECT_EQ(view.shown[0].informative, test::kDocument);
  EXPECT_EQ(view.status, 0);
  EXPECT_TRUE(files.Has(test::kScratch));
  EXPECT_EQ(files.Contents(test::kDocument),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n<node id=\"n1\" lbl=\"A\">\r\n"
            "<value>a</value>\r\n</node>\r\n</Main>\r\n");
}

}  // namespace
}  // namespace zerova
