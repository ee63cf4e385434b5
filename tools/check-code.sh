#!/usr/bin/env bash
# The tree's own rules, checked on every test run:
# - every C++ file is in .clang-format's shape;
# - layers point down only: a file of src/<layer> includes headers of its
#   own layer and of those below it, never of one above
#   (model < win < skin < panels < shell), and the model no platform header.
set -u
cd "$(dirname "$0")/.."
status=0

unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror 2>&1 |
              grep -o '^[^:]*\.\(cpp\|h\):' | sort -u)
if [ -n "$unformatted" ]; then
  echo "not in .clang-format's shape (clang-format -i FILE):"
  echo "$unformatted" | tr -d ':' | sed 's/^/  /'
  status=1
fi

layers=(model win skin panels shell)
for i in "${!layers[@]}"; do
  layer=${layers[$i]}
  above=("${layers[@]:$((i + 1))}")
  [ ${#above[@]} -eq 0 ] && continue
  pattern="#include \"($(IFS='|'; echo "${above[*]}"))/"
  hits=$(git grep -n -E "$pattern" -- "src/$layer" 2>/dev/null)
  if [ -n "$hits" ]; then
    echo "src/$layer includes a higher layer:"
    echo "$hits" | sed 's/^/  /'
    status=1
  fi
done
hits=$(git grep -n -E '#include <(windows|winbase|windef)\.h>' -- src/model 2>/dev/null)
if [ -n "$hits" ]; then
  echo "src/model includes a platform header:"
  echo "$hits" | sed 's/^/  /'
  status=1
fi

[ $status -eq 0 ] && echo "code checks: format and layers in order"
exit $status
