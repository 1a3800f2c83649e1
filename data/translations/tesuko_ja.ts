<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>QtPrivacyDialog</name>
    <message>
        <source>tesuko: Privacy</source>
        <translation>tesuko: プライバシー</translation>
    </message>
    <message>
        <source>Windows whose title matches one of these patterns are written with their application’s name instead. * stands for any text, ? for any character, [abc] for one of a, b, c; capitals do not matter.</source>
        <translation>タイトルがこれらのパターンのいずれかに一致するウィンドウは、代わりにアプリケーション名で記録されます。* は任意の文字列、? は任意の 1 文字、[abc] は a、b、c のいずれか 1 文字を表します。大文字と小文字は区別しません。</translation>
    </message>
    <message>
        <source>Applications whose window titles are never written, one name a line, as the log names them:</source>
        <translation>ウィンドウのタイトルを記録しないアプリケーション (1 行に 1 つ、ログに記録される名前で):</translation>
    </message>
    <message>
        <source>Applications whose time is not recorded at all, one name a line:</source>
        <translation>時間をまったく記録しないアプリケーション (1 行に 1 つ):</translation>
    </message>
    <message>
        <source>Line %1 of the title patterns is not saved: %2</source>
        <translation>タイトルのパターンの %1 行目は保存されません: %2</translation>
    </message>
    <message>
        <source>An empty pattern matches no title.</source>
        <translation>空のパターンはどのタイトルにも一致しません。</translation>
    </message>
    <message>
        <source>“%1” ends in a “\” that makes nothing literal.</source>
        <translation>「%1」の末尾の「\」の後に文字がありません。</translation>
    </message>
    <message>
        <source>The range “%1” runs backwards.</source>
        <translation>範囲「%1」の順序が逆です。</translation>
    </message>
    <message>
        <source>“%1” opens a set with “[” that no “]” closes.</source>
        <translation>「%1」の「[」を閉じる「]」がありません。</translation>
    </message>
</context>
<context>
    <name>QtStatusMenu</name>
    <message>
        <source>Start Recording</source>
        <translation>記録を開始</translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation>記録を停止</translation>
    </message>
    <message>
        <source>Pause for 15 Minutes</source>
        <translation>15 分間一時停止</translation>
    </message>
    <message>
        <source>Pause for 1 Hour</source>
        <translation>1 時間一時停止</translation>
    </message>
    <message>
        <source>Pause Until Tomorrow</source>
        <translation>明日まで一時停止</translation>
    </message>
    <message>
        <source>Forget the Last 15 Minutes</source>
        <translation>直近 15 分間を忘れる</translation>
    </message>
    <message>
        <source>Save Log As…</source>
        <translation>ログの保存先を変更…</translation>
    </message>
    <message>
        <source>Share with Other Machines…</source>
        <translation>他のマシンと共有…</translation>
    </message>
    <message>
        <source>Folder to Share</source>
        <translation>共有するフォルダ</translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation>ログイン時に開く</translation>
    </message>
    <message>
        <source>Pause When Idle</source>
        <translation>無操作のときは一時停止</translation>
    </message>
    <message>
        <source>Privacy…</source>
        <translation>プライバシー…</translation>
    </message>
    <message>
        <source>Show Report…</source>
        <translation>レポートを表示…</translation>
    </message>
    <message>
        <source>Quit tesuko</source>
        <translation>tesuko を終了</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>記録中</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>停止中</translation>
    </message>
    <message>
        <source>Paused: asleep</source>
        <translation>一時停止中: スリープ</translation>
    </message>
    <message>
        <source>Paused: screen locked</source>
        <translation>一時停止中: 画面ロック</translation>
    </message>
    <message>
        <source>Paused: idle</source>
        <translation>一時停止中: 無操作</translation>
    </message>
    <message>
        <source>Paused until %1</source>
        <translation>%1 まで一時停止中</translation>
    </message>
    <message>
        <source>Paused until %1 tomorrow</source>
        <translation>明日の %1 まで一時停止中</translation>
    </message>
    <message>
        <source>Recording, but records cannot be written. %1</source>
        <translation>記録中ですが、記録を書き込めません。%1</translation>
    </message>
    <message>
        <source>Clicks and keys are not counted on this desktop</source>
        <translation>このデスクトップではクリックとキー入力を数えません</translation>
    </message>
    <message>
        <source>Cannot read the rules in %1: see the system log</source>
        <translation>ルール %1 を読めません: システムログを見てください</translation>
    </message>
    <message>
        <source>Lines of the rules in %1 that do not apply: %2, the first at line %3, column %4; see the system log</source>
        <translation>ルール %1 のうち適用されない行: %2 行、最初は %3 行目の %4 文字目。システムログを見てください</translation>
    </message>
    <message>
        <source>Could not forget the last 15 minutes: %1</source>
        <translation>直近 15 分間を忘れられませんでした: %1</translation>
    </message>
    <message>
        <source>GNOME Shell&apos;s extensions are turned off: turn them on in the Extensions app for tesuko to see the windows</source>
        <translation>GNOME Shell の拡張機能がオフです: tesuko がウィンドウを認識できるよう、「拡張機能」アプリでオンにしてください</translation>
    </message>
    <message>
        <source>Turn on tesuko&apos;s extension in GNOME&apos;s Extensions app for tesuko to see the windows</source>
        <translation>tesuko がウィンドウを認識できるよう、GNOME の「拡張機能」アプリで tesuko の拡張機能をオンにしてください</translation>
    </message>
    <message>
        <source>GNOME Shell does not tell its version: tesuko cannot pick its extension</source>
        <translation>GNOME Shell がバージョンを返さないため、tesuko は拡張機能を選べません</translation>
    </message>
    <message>
        <source>tesuko needs GNOME Shell %1 or later to see the windows</source>
        <translation>tesuko がウィンドウを認識するには GNOME Shell %1 以降が必要です</translation>
    </message>
    <message>
        <source>tesuko&apos;s GNOME Shell extension is missing from its installation (share/tesuko/gnome-shell-extension)</source>
        <translation>tesuko の GNOME Shell 拡張機能がインストールされていません (share/tesuko/gnome-shell-extension)</translation>
    </message>
    <message>
        <source>tesuko cannot install its GNOME Shell extension: there is no home folder</source>
        <translation>tesuko の GNOME Shell 拡張機能をインストールできません: ホームフォルダーがありません</translation>
    </message>
    <message>
        <source>tesuko cannot install its GNOME Shell extension: %1</source>
        <translation>tesuko の GNOME Shell 拡張機能をインストールできません: %1</translation>
    </message>
    <message>
        <source>tesuko&apos;s GNOME Shell extension failed: %1</source>
        <translation>tesuko の GNOME Shell 拡張機能でエラーが起きました: %1</translation>
    </message>
    <message>
        <source>tesuko&apos;s extension is tested with GNOME Shell up to %1, not yet %2. To try it anyway, run: gsettings set org.gnome.shell disable-extension-version-validation true, then log out and back in</source>
        <translation>tesuko の拡張機能は GNOME Shell %1 までで検証済みで、%2 ではまだです。それでも試すには gsettings set org.gnome.shell disable-extension-version-validation true を実行してから、一度ログアウトしてログインし直してください</translation>
    </message>
    <message>
        <source>Turn on extensions in GNOME&apos;s Extensions app, then log out and back in once for tesuko to see the windows: GNOME Shell loads its extension only at login</source>
        <translation>tesuko がウィンドウを認識できるよう、GNOME の「拡張機能」アプリで拡張機能をオンにしてから、一度ログアウトしてログインし直してください (GNOME Shell は拡張機能をログイン時にだけ読み込みます)</translation>
    </message>
    <message>
        <source>Log out and back in once for tesuko to see the windows: GNOME Shell loads its extension only at login</source>
        <translation>tesuko がウィンドウを認識できるよう、一度ログアウトしてログインし直してください (GNOME Shell は拡張機能をログイン時にだけ読み込みます)</translation>
    </message>
    <message>
        <source>could not read %1: %2</source>
        <translation>%1 を読めませんでした: %2</translation>
    </message>
    <message>
        <source>could not rewrite %1: %2</source>
        <translation>%1 を書き換えられませんでした: %2</translation>
    </message>
    <message>
        <source>Could not create the folder %1: %2</source>
        <translation>フォルダー %1 を作成できませんでした: %2</translation>
    </message>
    <message>
        <source>Could not open the log %1: %2</source>
        <translation>ログ %1 を開けませんでした: %2</translation>
    </message>
    <message>
        <source>Could not write a record to %1: %2</source>
        <translation>%1 に記録を書き込めませんでした: %2</translation>
    </message>
    <message>
        <source>not a regular file (a FIFO, a device or a socket?)</source>
        <translation>通常のファイルではありません (FIFO、デバイス、ソケット?)</translation>
    </message>
    <message>
        <source>larger than %1 bytes</source>
        <translation>%1 バイトを超えています</translation>
    </message>
    <message>
        <source>nothing written, disk full?</source>
        <translation>何も書き込めませんでした (ディスクがいっぱい?)</translation>
    </message>
    <message>
        <source>something other than a folder is there</source>
        <translation>フォルダーではないものがあります</translation>
    </message>
    <message>
        <source>another program holds the file&apos;s lock</source>
        <translation>別のプログラムがファイルをロックしています</translation>
    </message>
    <message>
        <source>not an absolute path</source>
        <translation>絶対パスではありません</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>ログ: %1</translation>
    </message>
</context>
<context>
    <name>ReportWindow</name>
    <message>
        <source>Time per day</source>
        <translation>日ごとの時間</translation>
    </message>
    <message>
        <source>Timeline of the day</source>
        <translation>一日のタイムライン</translation>
    </message>
    <message>
        <source>Not recorded, %1</source>
        <translation>記録なし、%1</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>アプリケーション</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>割合</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Window title</source>
        <translation>ウィンドウのタイトル</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>書き出し(&amp;E)…</translation>
    </message>
    <message>
        <source>tesuko — Report</source>
        <translation>tesuko — レポート</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>今日</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>昨日</translation>
    </message>
    <message>
        <source>This Week</source>
        <translation>今週</translation>
    </message>
    <message>
        <source>This Month</source>
        <translation>今月</translation>
    </message>
    <message>
        <source>All Time</source>
        <translation>全期間</translation>
    </message>
    <message>
        <source>Custom Range</source>
        <translation>期間を指定</translation>
    </message>
    <message>
        <source>&amp;Period:</source>
        <translation>期間(&amp;P):</translation>
    </message>
    <message>
        <source>&amp;From:</source>
        <translation>開始日(&amp;F):</translation>
    </message>
    <message>
        <source>&amp;To:</source>
        <translation>終了日(&amp;T):</translation>
    </message>
    <message>
        <source>&amp;Machine:</source>
        <translation>マシン(&amp;M):</translation>
    </message>
    <message>
        <source>All machines</source>
        <translation>すべてのマシン</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 〜 %2</translation>
    </message>
    <message>
        <source>Toda&amp;y</source>
        <translation>今日(&amp;Y)</translation>
    </message>
    <message>
        <source>Previous period</source>
        <translation>前の期間</translation>
    </message>
    <message>
        <source>Next period</source>
        <translation>次の期間</translation>
    </message>
    <message>
        <source>Previous period (Alt+Left)</source>
        <translation>前の期間 (Alt+←)</translation>
    </message>
    <message>
        <source>Next period (Alt+Right)</source>
        <translation>次の期間 (Alt+→)</translation>
    </message>
    <message>
        <source>The period that holds today (Alt+Home)</source>
        <translation>今日を含む期間 (Alt+Home)</translation>
    </message>
    <message>
        <source>Applications</source>
        <translation>アプリケーション</translation>
    </message>
    <message>
        <source>Window titles</source>
        <translation>ウィンドウのタイトル</translation>
    </message>
    <message>
        <source>&amp;Applications</source>
        <translation>アプリケーション(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Window titles</source>
        <translation>ウィンドウのタイトル(&amp;W)</translation>
    </message>
    <message>
        <source>%1 — %2 in one application</source>
        <translation>%1 — 1 個のアプリケーションで %2</translation>
    </message>
    <message>
        <source>%1 — %2 in %3 applications</source>
        <translation>%1 — %3 個のアプリケーションで %2</translation>
    </message>
    <message>
        <source>&amp;Window titles (select an application)</source>
        <translation>ウィンドウのタイトル(&amp;W) (アプリケーションを選択してください)</translation>
    </message>
    <message>
        <source>&amp;Window titles (a shorter period lists them)</source>
        <translation>ウィンドウのタイトル(&amp;W) (もっと短い期間なら一覧できます)</translation>
    </message>
    <message>
        <source>&amp;Window titles of %1</source>
        <translation>%1 のウィンドウのタイトル(&amp;W)</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>レポートを書き出す</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 に書き込めませんでした: %2</translation>
    </message>
    <message>
        <source>%1 (*.%2)</source>
        <translation>%1 (*.%2)</translation>
    </message>
    <message>
        <source>&amp;Categories</source>
        <translation>カテゴリ(&amp;C)</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>カテゴリ</translation>
    </message>
    <message>
        <source>Uncategorized</source>
        <translation>未分類</translation>
    </message>
    <message>
        <source>&amp;Rules…</source>
        <translation>ルール(&amp;R)…</translation>
    </message>
    <message>
        <source>Add to &amp;Category…</source>
        <translation>カテゴリに追加(&amp;C)…</translation>
    </message>
    <message>
        <source>Add to Category</source>
        <translation>カテゴリに追加</translation>
    </message>
    <message>
        <source>“%1” is not a category; name one like Work/Mail</source>
        <translation>「%1」はカテゴリになりません。Work/Mail のように名付けてください</translation>
    </message>
</context>
<context>
    <name>ReportAddToCategory</name>
    <message>
        <source>Add to Category</source>
        <translation>カテゴリに追加</translation>
    </message>
    <message>
        <source>Work/Mail</source>
        <translation>仕事/メール</translation>
    </message>
    <message>
        <source>First, before every other rule</source>
        <translation>最初 (ほかのどのルールよりも前)</translation>
    </message>
    <message>
        <source>Last, after every other rule</source>
        <translation>最後 (ほかのどのルールよりも後)</translation>
    </message>
    <message>
        <source>Before line %1: %2</source>
        <translation>%1 行目の前: %2</translation>
    </message>
    <message>
        <source>Where the time in %1 belongs:</source>
        <translation>%1 の時間の行き先:</translation>
    </message>
    <message>
        <source>&amp;Category:</source>
        <translation>カテゴリ(&amp;C):</translation>
    </message>
    <message>
        <source>&amp;Rule goes:</source>
        <translation>ルールの位置(&amp;R):</translation>
    </message>
</context>
<context>
    <name>ReportRulesEditor</name>
    <message>
        <source>tesuko — Rules</source>
        <translation>tesuko — ルール</translation>
    </message>
    <message>
        <source>Rules</source>
        <translation>ルール</translation>
    </message>
    <message>
        <source>Problems and time per rule</source>
        <translation>問題とルールごとの時間</translation>
    </message>
    <message>
        <source>Could not save the rules: %1</source>
        <translation>ルールを保存できませんでした: %1</translation>
    </message>
    <message>
        <source>&amp;Problems and time per rule in the period shown</source>
        <translation>表示中の期間の問題とルールごとの時間(&amp;P)</translation>
    </message>
    <message>
        <source>Line %1: %2 to %3</source>
        <translation>%1 行目: %2 → %3</translation>
    </message>
</context>
</TS>
