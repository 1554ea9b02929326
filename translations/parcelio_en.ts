<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Form1</name>
    <message>
        <source>关闭后最小化到托盘</source>
        <translation>Keep in the tray when closed</translation>
    </message>
    <message>
        <source>开机自动启动</source>
        <translation>Start with the desktop</translation>
    </message>
    <message>
        <source>关闭窗口后程序留在托盘中,继续自动刷新</source>
        <translation>Closing the window leaves the program in the tray, still refreshing</translation>
    </message>
    <message>
        <source>登录桌面时在托盘中启动本程序</source>
        <translation>Start the program in the tray when you log in</translation>
    </message>
    <message>
        <source>桌面上没有托盘,关闭窗口仍将退出程序..</source>
        <translation>This desktop has no tray; closing the window still ends the program..</translation>
    </message>
    <message>
        <source>桌面上没有托盘:关闭窗口仍将退出程序</source>
        <translation>This desktop has no tray: closing the window still ends the program</translation>
    </message>
    <message>
        <source>显示窗口</source>
        <translation>Show window</translation>
    </message>
    <message>
        <source>立即刷新</source>
        <translation>Refresh now</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message numerus="yes">
        <source>%n 个快递有新进展</source>
        <translation>
            <numerusform>%n parcel with news</numerusform>
            <numerusform>%n parcels with news</numerusform>
        </translation>
    </message>
    <message>
        <source>没有新进展</source>
        <translation>No news</translation>
    </message>
    <message>
        <source>设置保存失败,没有做任何改动..</source>
        <translation>The setting was not saved; nothing was changed..</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>复制单号</source>
        <translation>Copy number</translation>
    </message>
    <message numerus="yes">
        <source>%n 个快递待取件</source>
        <translation>
            <numerusform>%n parcel waiting for pickup</numerusform>
            <numerusform>%n parcels waiting for pickup</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Parcelio</name>
    <message>
        <source>程序已运行!</source>
        <translation>The program is already running!</translation>
    </message>
    <message>
        <source>数据库由更新版本的程序创建,当前版本无法使用!<byte value="xd"/>
 <byte value="xd"/>
请到官网下载最新版本：</source>
        <translation>The database was made by a newer version and cannot be used by this one!<byte value="xd"/>
 <byte value="xd"/>
Get the newest version from the official site: </translation>
    </message>
    <message>
        <source>数据库链接出错!请到官网下载原版!<byte value="xd"/>
 <byte value="xd"/>
TesmarParcelio官方网站：</source>
        <translation>The database cannot be opened! Please get the original from the official site!<byte value="xd"/>
 <byte value="xd"/>
TesmarParcelio official site: </translation>
    </message>
    <message>
        <source>程序初始化完毕..</source>
        <translation>Ready..</translation>
    </message>
    <message>
        <source>当前没有物流信息</source>
        <translation>No tracking events yet</translation>
    </message>
    <message>
        <source>物流跟踪信息</source>
        <translation>Tracking</translation>
    </message>
    <message>
        <source>时间:</source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>物流进度:</source>
        <translation>Events:</translation>
    </message>
    <message>
        <source>单条物流进度已复制..</source>
        <translation>Event copied..</translation>
    </message>
    <message>
        <source>搜索快递</source>
        <translation>Search parcels</translation>
    </message>
    <message>
        <source>使用单号查询</source>
        <translation>By number</translation>
    </message>
    <message>
        <source>使用物品名称查询</source>
        <translation>By goods</translation>
    </message>
    <message>
        <source>精准查询</source>
        <translation>Exact</translation>
    </message>
    <message>
        <source>模糊查询</source>
        <translation>Partial</translation>
    </message>
    <message>
        <source>开始搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>请输入快递单号..</source>
        <translation>Enter a tracking number..</translation>
    </message>
    <message>
        <source>请输入快递物品..</source>
        <translation>Enter the goods..</translation>
    </message>
    <message>
        <source>没有找到相关快递</source>
        <translation>No matching parcel</translation>
    </message>
    <message>
        <source>没有找到相关快递..</source>
        <translation>No matching parcel..</translation>
    </message>
    <message>
        <source>已为您找到%1个相关快递</source>
        <translation>Found %1 matching parcels</translation>
    </message>
    <message>
        <source>已为您找到相关快递</source>
        <translation>Found matching parcels</translation>
    </message>
    <message>
        <source>快递公司列表</source>
        <translation>Couriers</translation>
    </message>
    <message>
        <source>搜索：</source>
        <translation>Search:</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>常用：</source>
        <translation>Pick:</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>快递公司（ 双击选择 ）</source>
        <translation>Courier (double-click)</translation>
    </message>
    <message>
        <source>公司电话（ 右键复制 ）</source>
        <translation>Phone (right-click)</translation>
    </message>
    <message>
        <source>快递公司（双击选择）</source>
        <translation>Courier (double-click)</translation>
    </message>
    <message>
        <source>公司电话已复制..</source>
        <translation>Courier&apos;s telephone copied..</translation>
    </message>
    <message>
        <source>正在检测快递</source>
        <translation>Recognising the courier</translation>
    </message>
    <message>
        <source>检测出错,请查询您的单号是否正确</source>
        <translation>Recognition failed; please check your number</translation>
    </message>
    <message>
        <source>检测出错,请手动选择或多次刷新</source>
        <translation>Recognition failed; choose the courier or refresh a few times</translation>
    </message>
    <message>
        <source>未找到对应快递,请手动选择</source>
        <translation>No courier found; please choose one</translation>
    </message>
    <message>
        <source>parcelio: 没有这个命令: %1 (parcelio --help 列出全部命令)
</source>
        <translation>parcelio: no such command: %1 (parcelio --help lists every command)
</translation>
    </message>
    <message>
        <source>显示本帮助并退出</source>
        <translation>show this help and leave</translation>
    </message>
    <message>
        <source>显示版本号并退出</source>
        <translation>show the version and leave</translation>
    </message>
    <message>
        <source>新建数据库时执行此 SQL 文件(演示数据用)</source>
        <translation>run this SQL file when a new database is made (demo data)</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>file</translation>
    </message>
    <message>
        <source>窗口显示后立即退出(测量启动时间用)</source>
        <translation>leave once the window is shown (to time the start)</translation>
    </message>
    <message>
        <source>启动时只在托盘中显示图标(开机自动启动用)</source>
        <translation>start with only the tray icon (for starting with the desktop)</translation>
    </message>
    <message>
        <source>命令行有误: </source>
        <translation>Bad command line: </translation>
    </message>
    <message>
        <source>未知选项: </source>
        <translation>Unknown option: </translation>
    </message>
    <message>
        <source>多余的参数: </source>
        <translation>Extra arguments: </translation>
    </message>
    <message>
        <source>用法: parcelio [选项]
      parcelio &lt;命令&gt; [参数]
快递跟踪助手 %1

选项:
</source>
        <translation>Usage: parcelio [options]
       parcelio &lt;command&gt; [arguments]
Parcel tracker %1

Options:
</translation>
    </message>
    <message>
        <source>列出全部已保存的快递</source>
        <translation>list every saved parcel</translation>
    </message>
    <message>
        <source>查询一个快递的物流进度</source>
        <translation>query a parcel&apos;s tracking events</translation>
    </message>
    <message>
        <source>与窗口相同的请求和解读; 进度按时间从新到旧列出, 并给出状态和在途时间。
没有 --company 时, 已保存的单号用保存时的快递公司, 其余由单号识别服务判断。
单号已保存时, 其进度条数和进度像在窗口中查询一样记录下来。
</source>
        <translation>The window&apos;s request and reading; events newest first, with the state and time under way.
Without --company a saved number uses its saved courier; others are recognised.
For a saved number its count and progress are kept as a query in the window keeps them.
</translation>
    </message>
    <message>
        <source>保存一个新快递</source>
        <translation>save a new parcel</translation>
    </message>
    <message>
        <source>parcelio remove --id &lt;编号&gt; [--json]</source>
        <translation>parcelio remove --id &lt;id&gt; [--json]</translation>
    </message>
    <message>
        <source>删除一个已保存的快递</source>
        <translation>remove a saved parcel</translation>
    </message>
    <message>
        <source>快递和它记录的进度一起删除。编号见 parcelio list。
</source>
        <translation>The parcel goes with its kept progress. Ids: see parcelio list.
</translation>
    </message>
    <message>
        <source>在后台查询一遍全部未签收的快递</source>
        <translation>query every parcel not yet signed for in the background</translation>
    </message>
    <message>
        <source>parcelio help [&lt;命令&gt;]</source>
        <translation>parcelio help [&lt;command&gt;]</translation>
    </message>
    <message>
        <source>显示全部命令或一个命令的用法</source>
        <translation>show every command or the usage of one</translation>
    </message>
    <message>
        <source>每个命令都接受:
  --json              在标准输出打印一个 JSON 文档
  --timeout &lt;秒&gt;      每个网络请求最多等待的秒数(默认 20)
  -h                  显示该命令的用法
</source>
        <translation>Every command takes:
  --json              print one JSON document on stdout
  --timeout &lt;seconds&gt; how long one request may take (20 by default)
  -h                  show this command&apos;s usage
</translation>
    </message>
    <message>
        <source>
命令(不打开窗口, 供终端、脚本和定时任务使用):
</source>
        <translation>
Commands (no window; for terminals, scripts and timers):
</translation>
    </message>
    <message>
        <source>用 parcelio help &lt;命令&gt; 查看一个命令的用法。

</source>
        <translation>parcelio help &lt;command&gt; tells one command&apos;s usage.

</translation>
    </message>
    <message>
        <source>用法: %1
%2

%3
%4
%5</source>
        <translation>Usage: %1
%2

%3
%4
%5</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>公司</source>
        <translation>Courier</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>id</translation>
    </message>
    <message>
        <source>数据库无法使用: %1 (%2)</source>
        <translation>The database cannot be used: %1 (%2)</translation>
    </message>
    <message>
        <source>由更新版本的程序创建</source>
        <translation>made by a newer version of the program</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>数据库操作失败,没有做任何改动: </source>
        <translation>The database refused; nothing was changed: </translation>
    </message>
    <message>
        <source>没有应答</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>出错 (HTTP %1)</source>
        <translation>failed (HTTP %1)</translation>
    </message>
    <message>
        <source>请输入快递单号!</source>
        <translation>Enter a tracking number!</translation>
    </message>
    <message>
        <source>单号不正确,请您检查! (超过 %1 个字符)</source>
        <translation>Wrong tracking number, please check it! (more than %1 characters)</translation>
    </message>
    <message>
        <source>没有名为「%1」的快递公司</source>
        <translation>No courier named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>单号太短,无法识别快递公司,请用 --company 指定</source>
        <translation>The number is too short to recognise the courier; name it with --company</translation>
    </message>
    <message>
        <source>单号识别服务</source>
        <translation>recognition service</translation>
    </message>
    <message>
        <source>检测出错,请手动选择快递公司 (--company)</source>
        <translation>Recognition failed; name the courier (--company)</translation>
    </message>
    <message>
        <source>未找到对应快递,请用 --company 指定</source>
        <translation>No courier found; name it with --company</translation>
    </message>
    <message>
        <source>查询服务</source>
        <translation>tracking service</translation>
    </message>
    <message>
        <source>查询结果无法识别,请稍后再试..</source>
        <translation>The answer cannot be read, please try again later..</translation>
    </message>
    <message>
        <source>您当前查询的快递单号不存在 (%1 %2)</source>
        <translation>The tracking number does not exist (%1 %2)</translation>
    </message>
    <message>
        <source>查询失败,错误代码 %1</source>
        <translation>the query failed, error code %1</translation>
    </message>
    <message>
        <source>list 不接受参数</source>
        <translation>list takes no arguments</translation>
    </message>
    <message>
        <source>未查询</source>
        <translation>not queried</translation>
    </message>
    <message>
        <source>编号不正确: %1</source>
        <translation>Wrong id: %1</translation>
    </message>
    <message>
        <source>没有编号为 %1 的快递</source>
        <translation>No parcel with id %1</translation>
    </message>
    <message>
        <source>用法: </source>
        <translation>Usage: </translation>
    </message>
    <message>
        <source>暂无物流信息
</source>
        <translation>No tracking events yet
</translation>
    </message>
    <message>
        <source>状态: %1	在途: %2
</source>
        <translation>State: %1	Under way: %2
</translation>
    </message>
    <message>
        <source>请输入快递物品信息,例如：爸爸衣服</source>
        <translation>Enter the goods, e.g. Dad&apos;s clothes</translation>
    </message>
    <message>
        <source>快递数据已存在! %1</source>
        <translation>The parcel is already saved! %1</translation>
    </message>
    <message>
        <source>快递添加成功! </source>
        <translation>Parcel added! </translation>
    </message>
    <message>
        <source>快递信息已删除! </source>
        <translation>Parcel deleted! </translation>
    </message>
    <message>
        <source>refresh 不接受参数</source>
        <translation>refresh takes no arguments</translation>
    </message>
    <message>
        <source>快递有最新进展 [%1] %2 %3 %4	%5 %6
</source>
        <translation>News [%1] %2 %3 %4	%5 %6
</translation>
    </message>
    <message>
        <source>%1 个快递查询失败</source>
        <translation>%1 parcel queries failed</translation>
    </message>
    <message>
        <source>没有这个命令: </source>
        <translation>No such command: </translation>
    </message>
    <message>
        <source>--timeout 要在 0 到 3600 秒之间</source>
        <translation>--timeout must be between 0 and 3600 seconds</translation>
    </message>
    <message>
        <source>Tesmar软件工作室</source>
        <translation>Tesmar Software Studio</translation>
    </message>
    <message>
        <source>您的快递【</source>
        <translation>Your parcel [</translation>
    </message>
    <message>
        <source>】有最新动态 - TesmarParcelio</source>
        <translation>] has news - TesmarParcelio</translation>
    </message>
    <message>
        <source>推广服务 </source>
        <translation>Promotion </translation>
    </message>
    <message>
        <source>客服中心 </source>
        <translation>Service centre </translation>
    </message>
    <message>
        <source>官方论坛</source>
        <translation>Forum</translation>
    </message>
    <message>
        <source>】（</source>
        <translation>] (</translation>
    </message>
    <message>
        <source>&lt;/font&gt;（时间以&lt;font style=&apos;font-weight:bold;color:blue;&apos;&gt;</source>
        <translation>&lt;/font&gt; (time counted from &lt;font style=&apos;font-weight:bold;color:blue;&apos;&gt;</translation>
    </message>
    <message>
        <source>收件人、标题或发件人含有换行符,邮件未发送</source>
        <translation>A line break in the recipient, subject or sender: the mail was not sent</translation>
    </message>
    <message>
        <source>找不到邮件模块 libparcelio-mail</source>
        <translation>the mail module libparcelio-mail is missing</translation>
    </message>
    <message>
        <source>Parcelio - Orlo全新版</source>
        <translation>Parcelio - Orlo new edition</translation>
    </message>
    <message>
        <source>视力</source>
        <translation>Eyes</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>WEB网页版</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>官方网站</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>对程序进行相关设置，快捷键F9</source>
        <translation>Settings, key: F9</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>添加新快递，快捷键：F4</source>
        <translation>Add a parcel, key: F4</translation>
    </message>
    <message>
        <source>编辑当前快递单号，快捷键：F5</source>
        <translation>Edit the shown parcel, key: F5</translation>
    </message>
    <message>
        <source>清空快递列表，请谨慎操作，快捷键：F6</source>
        <translation>Clear the parcel list (careful!), key: F6</translation>
    </message>
    <message>
        <source>搜索当前数据库中的快递，快捷键：F7</source>
        <translation>Search the saved parcels, key: F7</translation>
    </message>
    <message>
        <source>刷新当前快递列表，快捷键：F8</source>
        <translation>Refresh the parcel list, key: F8</translation>
    </message>
    <message>
        <source>打开快递列表，快捷键：F12</source>
        <translation>Open the courier list, key: F12</translation>
    </message>
    <message>
        <source>将当前快递数据导出到计算机中，快捷键：F10</source>
        <translation>Export the shown parcel&apos;s events, key: F10</translation>
    </message>
    <message>
        <source>我的快递：</source>
        <translation>My parcels:</translation>
    </message>
    <message>
        <source>快件状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>更新状态</source>
        <translation>Updates</translation>
    </message>
    <message>
        <source>运送时间</source>
        <translation>Under way</translation>
    </message>
    <message>
        <source>快递公司</source>
        <translation>Courier</translation>
    </message>
    <message>
        <source>从快递接单时间算起</source>
        <translation>counted from the courier&apos;s pickup</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>物流进度 ( 双击列表可复制单条物流进度 )</source>
        <translation>Events (double-click one to copy it)</translation>
    </message>
    <message>
        <source>查询提示：</source>
        <translation>Note:</translation>
    </message>
    <message>
        <source>程序检测更新中...</source>
        <translation>Checking for updates...</translation>
    </message>
    <message>
        <source>版本号</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Tesmar出品</source>
        <translation>By Tesmar</translation>
    </message>
    <message>
        <source>Tesmar系列软件</source>
        <translation>Tesmar software</translation>
    </message>
    <message>
        <source>请选择快递公司</source>
        <translation>Choose a courier</translation>
    </message>
    <message>
        <source>没有做任何改动!</source>
        <translation>Nothing was changed!</translation>
    </message>
    <message>
        <source>单号操作</source>
        <translation>Edit parcel</translation>
    </message>
    <message>
        <source>快递单号：</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>快递公司：</source>
        <translation>Courier:</translation>
    </message>
    <message>
        <source>快递物品：</source>
        <translation>Goods:</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>快递数据清空</source>
        <translation>Clear parcels</translation>
    </message>
    <message>
        <source>请先选择快递..</source>
        <translation>Choose a parcel first..</translation>
    </message>
    <message>
        <source>此操作将清空快递数据,并重新进行获取,是否继续?</source>
        <translation>This clears the courier data and fetches it again. Go on?</translation>
    </message>
    <message>
        <source>信息数据不存在!</source>
        <translation>No such record!</translation>
    </message>
    <message>
        <source>初始化失败,没有做任何改动!</source>
        <translation>Reset failed; nothing was changed!</translation>
    </message>
    <message>
        <source>初始化成功!</source>
        <translation>Reset done!</translation>
    </message>
    <message>
        <source>请输入单号!</source>
        <translation>Enter a number!</translation>
    </message>
    <message>
        <source>请选择快递公司!</source>
        <translation>Choose a courier!</translation>
    </message>
    <message>
        <source>请输入物品信息!</source>
        <translation>Enter the goods!</translation>
    </message>
    <message>
        <source>确定要修改[</source>
        <translation>Really change [</translation>
    </message>
    <message>
        <source>]此单号码?</source>
        <translation>] this number?</translation>
    </message>
    <message>
        <source>快递信息修改失败,</source>
        <translation>The parcel was not changed, </translation>
    </message>
    <message>
        <source>快递信息修改成功!</source>
        <translation>Parcel changed!</translation>
    </message>
    <message>
        <source>当前快递信息已复制..</source>
        <translation>Parcel details copied..</translation>
    </message>
    <message>
        <source>确定要删除[</source>
        <translation>Really delete [</translation>
    </message>
    <message>
        <source>快递信息删除失败,</source>
        <translation>The parcel was not deleted, </translation>
    </message>
    <message>
        <source>快递信息已删除!</source>
        <translation>Parcel deleted!</translation>
    </message>
    <message>
        <source>没有可导出的数据!</source>
        <translation>Nothing to export!</translation>
    </message>
    <message>
        <source>(TXT文本)|*.txt</source>
        <translation>(Text files)|*.txt</translation>
    </message>
    <message>
        <source>已取消保存</source>
        <translation>Not saved</translation>
    </message>
    <message>
        <source>成功导出全部数据!</source>
        <translation>Everything exported!</translation>
    </message>
    <message>
        <source>成功导出全部数据..</source>
        <translation>Everything exported..</translation>
    </message>
    <message>
        <source>确定要清空快递列表吗?</source>
        <translation>Really clear the parcel list?</translation>
    </message>
    <message>
        <source>防误保护二次确认：确定要清空快递列表？</source>
        <translation>Second confirmation: really clear the parcel list?</translation>
    </message>
    <message>
        <source>正在清空...</source>
        <translation>Clearing...</translation>
    </message>
    <message>
        <source>快递列表未清空..</source>
        <translation>Parcel list not cleared..</translation>
    </message>
    <message>
        <source>快递列表清空失败,没有做任何改动!</source>
        <translation>The list was not cleared; nothing was changed!</translation>
    </message>
    <message>
        <source>快递列表已清空...</source>
        <translation>Parcel list cleared...</translation>
    </message>
    <message>
        <source>快递列表已刷新..</source>
        <translation>Parcel list refreshed..</translation>
    </message>
    <message>
        <source>确定要执行初始化吗?</source>
        <translation>Really reset?</translation>
    </message>
    <message>
        <source>此快递已被删除,快递列表已刷新..</source>
        <translation>This parcel was deleted; the list is refreshed..</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>时间校准功能需要联网操作!</source>
        <translation>Setting the clock needs the internet!</translation>
    </message>
    <message>
        <source>时间校对失败!未能从网络取得完整的时间,系统时间未更改。</source>
        <translation>The clock was not set: no complete time came from the network; the system time is unchanged.</translation>
    </message>
    <message>
        <source>时间校对成功!</source>
        <translation>Clock set!</translation>
    </message>
    <message>
        <source>时间校对失败!系统已开启自动时间同步,请先关闭自动同步后再校对。</source>
        <translation>The clock was not set: the system synchronises its time itself; turn that off first.</translation>
    </message>
    <message>
        <source>时间校对失败!系统拒绝更改时间,系统时间未更改。</source>
        <translation>The clock was not set: the system refused; the system time is unchanged.</translation>
    </message>
    <message>
        <source>检测更新失败!请您稍后再试,暂时使用原版</source>
        <translation>The update check failed! Try later; this version stays for now</translation>
    </message>
    <message>
        <source>程序已加载完毕...</source>
        <translation>Loaded...</translation>
    </message>
    <message>
        <source>发现最新版本![</source>
        <translation>A new version is out! [</translation>
    </message>
    <message>
        <source>]<byte value="xd"/>
 <byte value="xd"/>
确定后自动打开官方网站!</source>
        <translation>]<byte value="xd"/>
 <byte value="xd"/>
The official site opens when you press OK!</translation>
    </message>
    <message>
        <source>程序已加载完毕,当前共有%1个快递单。</source>
        <translation>Loaded; %1 parcels saved.</translation>
    </message>
    <message>
        <source>程序已加载完毕,当前没有快递单。</source>
        <translation>Loaded; no parcels saved.</translation>
    </message>
    <message>
        <source>相关设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>子窗口是否支持拖动</source>
        <translation>Panels can be dragged</translation>
    </message>
    <message>
        <source>单击子窗口自动关闭</source>
        <translation>Click a panel to close it</translation>
    </message>
    <message>
        <source>快递更新是否启用语音提醒</source>
        <translation>Sound an alert on news</translation>
    </message>
    <message>
        <source>是否启用气泡提示信息</source>
        <translation>Show balloon hints</translation>
    </message>
    <message>
        <source>刷新快递列表后默认查询第一个</source>
        <translation>Query the first after a refresh</translation>
    </message>
    <message>
        <source>是否启用快递公司自动识别功能</source>
        <translation>Recognise the courier from the number</translation>
    </message>
    <message>
        <source>      是否启用邮件通知功能</source>
        <translation>      E-mail notification</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>定时查询功能</source>
        <translation>Timed query</translation>
    </message>
    <message>
        <source>请设定时间：</source>
        <translation>Set the time:</translation>
    </message>
    <message>
        <source>时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分</source>
        <translation>m</translation>
    </message>
    <message>
        <source>开始定时</source>
        <translation>Start timer</translation>
    </message>
    <message>
        <source>循环查询</source>
        <translation>Repeat query</translation>
    </message>
    <message>
        <source>循环查询功能</source>
        <translation>Repeated query</translation>
    </message>
    <message>
        <source>每隔</source>
        <translation>Every</translation>
    </message>
    <message>
        <source>分钟自动进行一次查询</source>
        <translation>minutes, query again</translation>
    </message>
    <message>
        <source>开始循环</source>
        <translation>Start repeat</translation>
    </message>
    <message>
        <source>定时查询</source>
        <translation>Timed query</translation>
    </message>
    <message>
        <source>时间校对</source>
        <translation>Set clock</translation>
    </message>
    <message>
        <source>定制您的专属快递邮件推广服务</source>
        <translation>Your own parcel mail promotion service</translation>
    </message>
    <message>
        <source>设置保存失败,没有做任何改动..</source>
        <translation>The setting was not saved; nothing was changed..</translation>
    </message>
    <message>
        <source>请输入您的E-mail地址..</source>
        <translation>Enter your e-mail address..</translation>
    </message>
    <message>
        <source>您的E-mail地址输入错误!请您检查!</source>
        <translation>Your e-mail address is wrong! Please check it!</translation>
    </message>
    <message>
        <source>设置完毕..</source>
        <translation>Settings saved..</translation>
    </message>
    <message>
        <source>添加新快递</source>
        <translation>Add a parcel</translation>
    </message>
    <message>
        <source>开始查询</source>
        <translation>Query</translation>
    </message>
    <message>
        <source>友情提示：自动识别快递功能偶尔会因为使用人数过多而变得不稳定，您可进行多次刷新尝试，如果仍不可用请手动选择快递公司或稍后再试，第一版本可能识别率不是特别高，后续版本我们会继续改进。</source>
        <translation>Note: recognising the courier may fail when many people use it; refresh a few times, or choose the courier yourself. Later versions will recognise more.</translation>
    </message>
    <message>
        <source>快递保存失败,请检查数据库是否可写..</source>
        <translation>The parcel was not saved; check that the database can be written..</translation>
    </message>
    <message>
        <source>您好,您当前输入的单号不存在有效信息,是否先进行保存?</source>
        <translation>The number you entered has no tracking information yet. Save it anyway?</translation>
    </message>
    <message>
        <source>快递添加成功！</source>
        <translation>Parcel added!</translation>
    </message>
    <message>
        <source>快递数据已存在!</source>
        <translation>The parcel is already saved!</translation>
    </message>
    <message>
        <source>单号不正确,请您检查!</source>
        <translation>Wrong tracking number, please check it!</translation>
    </message>
    <message>
        <source>查询完毕...</source>
        <translation>Query done...</translation>
    </message>
    <message>
        <source>查询中...</source>
        <translation>Querying...</translation>
    </message>
    <message>
        <source>二次防误操作：确认要删除此快递单号?</source>
        <translation>Second confirmation: really delete this tracking number?</translation>
    </message>
    <message>
        <source>快递信息删除失败,没有做任何改动!</source>
        <translation>The parcel was not deleted; nothing was changed!</translation>
    </message>
    <message>
        <source>程序自动检测快递异常!</source>
        <translation>The program found a problem with this parcel!</translation>
    </message>
    <message>
        <source>可能存在以下问题：</source>
        <translation>Possible causes:</translation>
    </message>
    <message>
        <source>1.网络异常</source>
        <translation>1. a network problem</translation>
    </message>
    <message>
        <source>2.快递公司异常</source>
        <translation>2. a problem with the courier</translation>
    </message>
    <message>
        <source>4.当前快递单号已失效</source>
        <translation>4. the tracking number is no longer valid</translation>
    </message>
    <message>
        <source>5.单号或对应快递公司错误</source>
        <translation>5. a wrong number or courier</translation>
    </message>
    <message>
        <source>请您稍后重试</source>
        <translation>Please try again later</translation>
    </message>
    <message>
        <source>30分钟</source>
        <translation>30 minutes</translation>
    </message>
    <message>
        <source>1小时</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>2小时</source>
        <translation>2 hours</translation>
    </message>
    <message>
        <source>3小时</source>
        <translation>3 hours</translation>
    </message>
    <message>
        <source>6小时</source>
        <translation>6 hours</translation>
    </message>
    <message>
        <source>12小时</source>
        <translation>12 hours</translation>
    </message>
    <message>
        <source>24小时</source>
        <translation>24 hours</translation>
    </message>
    <message>
        <source>自动刷新</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>每隔所选时间在后台查询全部未签收的快递</source>
        <translation>Query every parcel not yet signed for in the background at the chosen interval</translation>
    </message>
    <message>
        <source>立即刷新</source>
        <translation>Refresh now</translation>
    </message>
    <message>
        <source>现在就在后台查询一遍全部未签收的快递</source>
        <translation>Query every parcel not yet signed for in the background now</translation>
    </message>
    <message>
        <source>最新信息发送失败!错误原因</source>
        <translation>The news was not sent! Reason: </translation>
    </message>
    <message>
        <source>正在刷新全部未签收快递..</source>
        <translation>Refreshing every parcel not yet signed for..</translation>
    </message>
    <message>
        <source>刷新正在进行,请稍候..</source>
        <translation>A refresh is running, please wait..</translation>
    </message>
    <message>
        <source>有更新</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>无更新</source>
        <translation>No update</translation>
    </message>
    <message>
        <source> 正发送最新动态邮件,请稍等..</source>
        <translation> Sending the news by e-mail, please wait..</translation>
    </message>
    <message>
        <source>没有快递进度可以发送</source>
        <translation>No parcel progress to send</translation>
    </message>
    <message>
        <source>快递有最新进展，已发送至邮箱!</source>
        <translation>Parcel news, sent to your mailbox!</translation>
    </message>
    <message>
        <source>以下为</source>
        <translation>Shown: </translation>
    </message>
    <message>
        <source>查询的结果..</source>
        <translation> query..</translation>
    </message>
    <message>
        <source>停止循环</source>
        <translation>Stop repeat</translation>
    </message>
    <message>
        <source>关闭定时</source>
        <translation>Stop timer</translation>
    </message>
    <message>
        <source>当前快递已签收,您不需要使用此功能</source>
        <translation>This parcel is signed for; you need not use this</translation>
    </message>
    <message>
        <source>请先查询单号后在使用本功能!</source>
        <translation>Query a number first, then use this!</translation>
    </message>
    <message>
        <source>请先设定时间!</source>
        <translation>Set the time first!</translation>
    </message>
    <message>
        <source>当前正在循环查询,是否终止?</source>
        <translation>A repeated query is running. Stop it?</translation>
    </message>
    <message>
        <source>请先查询单号后在使用定时功能!</source>
        <translation>Query a number first, then use the timer!</translation>
    </message>
    <message>
        <source>请设定查询时间!</source>
        <translation>Set the query time!</translation>
    </message>
    <message>
        <source>当前正在定时查询,是否终止?</source>
        <translation>A timed query is running. Stop it?</translation>
    </message>
    <message>
        <source>每行一个快递: 编号、单号、物品、快递公司、已记录的进度条数、已记录的状态和最新一条进度。
状态后面跟着快递所处的阶段(待取件、异常、已取件), 归档的快递只在 --archived 时列出。
</source>
        <translation>One parcel per line: id, number, goods, courier, events recorded, state recorded and the newest event.
The state is followed by the parcel&apos;s stage (waiting for pickup, problem, picked up); archived parcels are listed only with --archived.
</translation>
    </message>
    <message>
        <source>parcelio query &lt;单号&gt; [--company &lt;公司&gt;] [--phone &lt;手机尾号&gt;] | --id &lt;编号&gt; [--json]</source>
        <translation>parcelio query &lt;number&gt; [--company &lt;courier&gt;] [--phone &lt;phone digits&gt;] | --id &lt;id&gt; [--json]</translation>
    </message>
    <message>
        <source>parcelio add &lt;单号&gt; &lt;物品&gt; | - [--company &lt;公司&gt;] [--phone &lt;手机尾号&gt;] [--force] [--yes] [--json]</source>
        <translation>parcelio add &lt;number&gt; &lt;goods&gt; | - [--company &lt;courier&gt;] [--phone &lt;phone digits&gt;] [--force] [--yes] [--json]</translation>
    </message>
    <message>
        <source>检查与窗口的添加面板相同: 单号只能是字母和数字(字母转为大写), 物品不能为空, 同一单号只保存一次。
没有 --company 时由单号识别服务判断快递公司。保存前先查询一次:
查询服务不认识的单号只有加上 --force 才保存。
--phone: 寄件人或收件人手机号后四位 (顺丰等快递在部分查询服务需要)。
add - 从标准输入读入一段文字(订单页、短信、聊天), 找出其中每个单号, 跳过已保存的,
物品取单号旁边的文字(没有时取单号的后四位), 每个单号打印一行; 至少添加一个时退出状态为 0。
超过 20 个单号时先说明最多要用掉多少次查询, 只有加上 --yes 才继续。
</source>
        <translation>Checked as the window&apos;s add panel checks: the number is letters and digits (letters upper-cased), the goods are not empty, a number is saved once.
Without --company the recognition service picks the courier. The parcel is queried once before it is saved:
a number the tracking service does not know is saved only with --force.
--phone: the last four digits of the sender&apos;s or receiver&apos;s phone (some services need them for SF Express and others).
add - reads a text from standard input (an order page, a message, a chat), finds every tracking number in it, skips saved ones,
takes the goods from the words beside each number (else the number&apos;s last four digits) and prints a line per number; exits 0 when at least one was added.
More than 20 numbers: says how many requests it may spend and goes on only with --yes.
</translation>
    </message>
    <message>
        <source>与窗口的「立即刷新」相同, 逐条打印有新进展的快递, 并像窗口一样告知新进展:
每条新进展一个桌面通知; 设置中开启了邮件通知时, 再发一封最新动态邮件。不播放提示音。
查询失败的快递逐个列出(编号、单号、原因)。
退出状态: 0 有新进展, 1 没有新进展; 没有新进展且有查询失败时为 4;
没有一个快递到了查询的时候(都在暂缓或未到查询间隔)时为 7。
</source>
        <translation>The same as the window&apos;s &quot;Refresh now&quot;: prints each parcel with news and tells the news as the window does:
a desktop notification for each piece of news, and a news mail when mail is turned on in the settings. No sound is played.
Each failed parcel is listed (id, number, why).
Exit status: 0 news, 1 no news; 4 when there was no news and a query failed;
7 when no parcel was due (all held or within the minimum interval).
</translation>
    </message>
    <message>
        <source>parcelio code &lt;短信&gt; | - [--id &lt;编号&gt;] [--json]</source>
        <translation>parcelio code &lt;message&gt; | - [--id &lt;id&gt;] [--json]</translation>
    </message>
    <message>
        <source>从取件短信中记下取件码</source>
        <translation>Keep the pickup code from a pickup message</translation>
    </message>
    <message>
        <source>在短信(或 - 时的标准输入)中找出取件码和单号尾号, 记到相符的快递上。
没有相符的快递, 或有几个相符而没有用 --id 指定时, 什么都不记, 退出状态为 2。
</source>
        <translation>Finds the pickup code and the number&apos;s tail in the message (or standard input with -) and keeps the code with the matching parcel.
With no matching parcel, or several and no --id, nothing is kept and the exit status is 2.
</translation>
    </message>
    <message>
        <source>标记一个快递已取件</source>
        <translation>Mark a parcel picked up</translation>
    </message>
    <message>
        <source>已取件的快递不再在后台查询。
</source>
        <translation>A picked-up parcel is no longer queried in the background.
</translation>
    </message>
    <message>
        <source>归档一个快递</source>
        <translation>Archive a parcel</translation>
    </message>
    <message>
        <source>归档的快递不在快递列表、parcelio list 和后台查询中出现; 搜索仍能找到它。
</source>
        <translation>An archived parcel leaves the parcel list, parcelio list and the background rounds; search still finds it.
</translation>
    </message>
    <message>
        <source>取消归档一个快递</source>
        <translation>Bring a parcel back from the archive</translation>
    </message>
    <message>
        <source>退出状态:
  0  成功
  1  refresh: 没有新进展
  2  用法错误或输入不被接受(什么都没有改动)
  3  查询服务不认识这个单号
  4  服务出错、没有应答或回复无法识别
  5  数据库无法打开或写入
  6  输出无法写入(已做的改动保留)
  7  refresh: 没有到查询时候的快递
</source>
        <translation>Exit status:
  0  success
  1  refresh: no news
  2  usage error or input refused (nothing changed)
  3  the tracking service does not know the number
  4  service error, no answer or an unreadable reply
  5  the database cannot be opened or written
  6  the output cannot be written (changes made are kept)
  7  refresh: no parcel was due
</translation>
    </message>
    <message>
        <source> (%1 以后)</source>
        <translation> (after %1)</translation>
    </message>
    <message>
        <source>--phone 要是手机号后四位数字</source>
        <translation>--phone takes the last four digits of a phone number</translation>
    </message>
    <message>
        <source>没有找到快递单号</source>
        <translation>No tracking number found</translation>
    </message>
    <message>
        <source>%1	未添加: %2
</source>
        <translation>%1	not added: %2
</translation>
    </message>
    <message>
        <source>%1	已添加: %2
</source>
        <translation>%1	added: %2
</translation>
    </message>
    <message>
        <source>短信中没有找到取件码</source>
        <translation>No pickup code found in the message</translation>
    </message>
    <message>
        <source>没有与短信相符的快递 (取件码 %1)</source>
        <translation>No parcel matches the message (pickup code %1)</translation>
    </message>
    <message>
        <source>有 %1 个快递与短信相符, 请用 --id 指定:</source>
        <translation>%1 parcels match the message, choose one with --id:</translation>
    </message>
    <message>
        <source>取件码 %1 已记录: </source>
        <translation>Pickup code %1 kept: </translation>
    </message>
    <message>
        <source>已取件: </source>
        <translation>Picked up: </translation>
    </message>
    <message>
        <source>已归档: </source>
        <translation>Archived: </translation>
    </message>
    <message>
        <source>已取消归档: </source>
        <translation>Back from the archive: </translation>
    </message>
    <message>
        <source>输出无法写入</source>
        <translation>The output cannot be written</translation>
    </message>
    <message>
        <source>运送中</source>
        <translation>In transit</translation>
    </message>
    <message>
        <source>派件中</source>
        <translation>Out for delivery</translation>
    </message>
    <message>
        <source>待取件</source>
        <translation>Waiting for pickup</translation>
    </message>
    <message>
        <source>已签收</source>
        <translation>Signed for</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Problem</translation>
    </message>
    <message>
        <source>已取件</source>
        <translation>Picked up</translation>
    </message>
    <message>
        <source>查询服务无需预先登记</source>
        <translation>The tracking service needs no registration</translation>
    </message>
    <message>
        <source>的应答超过 %1 MiB</source>
        <translation> answered more than %1 MiB</translation>
    </message>
    <message>
        <source>重定向到其他主机,未跟随</source>
        <translation> redirected to another host, not followed</translation>
    </message>
    <message>
        <source>的证书无法验证</source>
        <translation>&apos;s certificate could not be verified</translation>
    </message>
    <message>
        <source>需要寄件人或收件人手机号后四位</source>
        <translation>Needs the last 4 digits of the sender&apos;s or receiver&apos;s phone</translation>
    </message>
    <message>
        <source>查询服务账号或密钥错误</source>
        <translation>Wrong tracking service account or key</translation>
    </message>
    <message>
        <source>查询过于频繁或次数已用完,请稍后再试</source>
        <translation>Queried too often or the quota is used up, please try again later</translation>
    </message>
    <message>
        <source>当前查询服务不支持此快递公司</source>
        <translation>The chosen tracking service does not cover this courier</translation>
    </message>
    <message>
        <source>查询服务: </source>
        <translation>Tracking service: </translation>
    </message>
    <message>
        <source>暂无轨迹</source>
        <translation>No tracking events yet</translation>
    </message>
    <message>
        <source>单号尚未登记</source>
        <translation>The number is not registered yet</translation>
    </message>
    <message>
        <source>查询%1,更新%2,失败%3</source>
        <translation>%1 asked, %2 with news, %3 failed</translation>
    </message>
    <message>
        <source>,%1个未到查询间隔</source>
        <translation>, %1 asked too recently</translation>
    </message>
    <message>
        <source>,%1个暂缓至%2</source>
        <translation>, %1 held until %2</translation>
    </message>
    <message>
        <source>快递有最新进展</source>
        <translation>Parcel news</translation>
    </message>
    <message>
        <source>收件人或发件人不是一个邮件地址,邮件未发送</source>
        <translation>The recipient or sender is not one e-mail address; the mail was not sent</translation>
    </message>
    <message>
        <source>手机尾号：</source>
        <translation>Phone digits:</translation>
    </message>
    <message>
        <source>寄件人或收件人手机号后四位 (隐私号取“-”后四位)</source>
        <translation>Last four digits of the sender&apos;s or receiver&apos;s phone (for a privacy number, the four after &quot;-&quot;)</translation>
    </message>
    <message>
        <source>手机尾号应为四位数字</source>
        <translation>The phone digits must be four digits</translation>
    </message>
    <message>
        <source>没有可导出的数据</source>
        <translation>There is nothing to export</translation>
    </message>
    <message>
        <source>导出失败! </source>
        <translation>Export failed! </translation>
    </message>
    <message>
        <source>导出失败..</source>
        <translation>Export failed..</translation>
    </message>
    <message>
        <source>把收到的取件短信粘贴进来, 记下取件码 (在物流列表中按 Ctrl+V 也可)</source>
        <translation>Paste the pickup message you received to keep its code (or press Ctrl+V on the event list)</translation>
    </message>
    <message>
        <source>电话已复制..</source>
        <translation>Phone copied..</translation>
    </message>
    <message>
        <source>取件码已复制..</source>
        <translation>Pickup code copied..</translation>
    </message>
    <message>
        <source>粘贴取件短信</source>
        <translation>Paste pickup SMS</translation>
    </message>
    <message>
        <source>归档</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>归档后不在快递列表和后台查询中出现; 搜索仍能找到它</source>
        <translation>An archived parcel leaves the list and the background rounds; search still finds it</translation>
    </message>
    <message>
        <source>签收%1天后归档</source>
        <translation>Archive %1 days on</translation>
    </message>
    <message>
        <source>已签收或已取件的快递%1天后自动归档; 搜索仍能找到它</source>
        <translation>Signed or picked-up parcels are archived after %1 days; search still finds them</translation>
    </message>
    <message>
        <source>电话 </source>
        <translation>Phone </translation>
    </message>
    <message>
        <source>取件码 </source>
        <translation>Code </translation>
    </message>
    <message>
        <source>取消归档</source>
        <translation>Unarchive</translation>
    </message>
    <message>
        <source>粘贴的内容中没有找到取件码..</source>
        <translation>No pickup code in the pasted text..</translation>
    </message>
    <message>
        <source>数据库读取失败..</source>
        <translation>Reading the database failed..</translation>
    </message>
    <message>
        <source>取件码%1: 没有找到与短信相符的快递..</source>
        <translation>Pickup code %1: no parcel matches the message..</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>取件码保存失败..</source>
        <translation>Saving the pickup code failed..</translation>
    </message>
    <message>
        <source>取件码%1已记到「%2」..</source>
        <translation>Pickup code %1 kept with &quot;%2&quot;..</translation>
    </message>
    <message>
        <source>保存失败..</source>
        <translation>Saving failed..</translation>
    </message>
    <message>
        <source>「%1」已标记为已取件..</source>
        <translation>&quot;%1&quot; marked picked up..</translation>
    </message>
    <message>
        <source>「%1」已取消归档..</source>
        <translation>&quot;%1&quot; is back from the archive..</translation>
    </message>
    <message>
        <source>「%1」已归档, 可在搜索中找回..</source>
        <translation>&quot;%1&quot; archived; search finds it again..</translation>
    </message>
    <message>
        <source>粘贴的单号已保存: %1..</source>
        <translation>The pasted numbers are saved already: %1..</translation>
    </message>
    <message>
        <source>时间校对失败,服务器时间不可信</source>
        <translation>Clock calibration failed: the server time cannot be trusted</translation>
    </message>
    <message>
        <source>服务器时间与本机时间相差超过一天。<byte value="xd"/>
是否将系统时间设为 %1 ?</source>
        <translation>The server time differs from this computer&apos;s by more than a day.<byte value="xd"/>
Set the system time to %1?</translation>
    </message>
    <message>
        <source>顺丰等快递需要</source>
        <translation>needed by SF Express etc.</translation>
    </message>
    <message>
        <source>快递单号已修改,本次查询结果作废,请重新查询..</source>
        <translation>The number was changed: this answer is dropped, please query again..</translation>
    </message>
    <message>
        <source>您好,您当前查询的快递单号不存在,是否保留?<byte value="xd"/>
<byte value="xd"/>
如果此快递单号是您刚添加不久,建议几小时后再来查询</source>
        <translation>The number you queried does not exist. Keep it?<byte value="xd"/>
<byte value="xd"/>
If you added it only recently, query it again in a few hours</translation>
    </message>
    <message>
        <source>上次刷新%1：</source>
        <translation>Last refresh %1: </translation>
    </message>
    <message>
        <source>,下次%1</source>
        <translation>, next %1</translation>
    </message>
    <message>
        <source>此快递已被删除,循环查询已停止..</source>
        <translation>This parcel was deleted; the loop query stopped..</translation>
    </message>
    <message>
        <source>此快递已被删除,定时查询已停止..</source>
        <translation>This parcel was deleted; the timed query stopped..</translation>
    </message>
    <message>
        <source>复制电话</source>
        <translation>Copy phone</translation>
    </message>
    <message>
        <source>复制取件码</source>
        <translation>Copy code</translation>
    </message>
    <message>
        <source>%1天%2小时%3分</source>
        <translation>%1 d %2 h %3 min</translation>
    </message>
    <message>
        <source>有%1个快递与短信相符, 把取件码%2记到「%3」(%4)吗?</source>
        <translation>%1 parcels match the message. Keep pickup code %2 with &quot;%3&quot; (%4)?</translation>
    </message>
    <message>
        <source>没有选择快递, 取件码%1未记录..</source>
        <translation>No parcel chosen: pickup code %1 was not kept..</translation>
    </message>
    <message>
        <source>粘贴的文字中有%1个新单号, 是否全部添加?
</source>
        <translation>The pasted text holds %1 new numbers. Add them all?
</translation>
    </message>
    <message>
        <source>已保存, 不再添加: %1</source>
        <translation>Saved already, not added again: %1</translation>
    </message>
    <message>
        <source>粘贴的单号没有添加..</source>
        <translation>The pasted numbers were not added..</translation>
    </message>
    <message>
        <source>已添加%1个快递..</source>
        <translation>%1 parcels added..</translation>
    </message>
    <message>
        <source>未添加:</source>
        <translation>Not added:</translation>
    </message>
    <message>
        <source>您的快递</source>
        <translation>Your parcel </translation>
    </message>
    <message>
        <source>有了最新动态：</source>
        <translation> has news:</translation>
    </message>
    <message>
        <source>当前您的快递约已派送：</source>
        <translation>Your parcel has been under way for about: </translation>
    </message>
    <message>
        <source>公司接单起计算）</source>
        <translation> taking it in)</translation>
    </message>
    <message>
        <source>感谢您使用TesmarParcelio,欢迎您继续支持Tesmar其他产品!</source>
        <translation>Thank you for using TesmarParcelio; please keep supporting the other products of Tesmar!</translation>
    </message>
    <message>
        <source>本邮件由TesmarParcelio系统自动发出，请勿回复。</source>
        <translation>This mail was sent by the TesmarParcelio system; please do not reply.</translation>
    </message>
    <message>
        <source>如果您遇到问题或需要定制推广服务，请在右上方反馈或咨询客服QQ:</source>
        <translation>If you have a problem or want a custom promotion service, write to us from the links above or ask customer service, QQ: </translation>
    </message>
    <message>
        <source>【</source>
        <translation>[</translation>
    </message>
    <message>
        <source>）</source>
        <translation>)</translation>
    </message>
    <message>
        <source>快递提醒 [%1] %2 %3	%4
</source>
        <translation>Reminder [%1] %2 %3	%4
</translation>
    </message>
    <message>
        <source>快递提醒</source>
        <translation>Parcel reminder</translation>
    </message>
    <message>
        <source>「%1」已在驿站等待%2天,请及时取件</source>
        <translation>“%1” has waited %2 days for pickup; please collect it</translation>
    </message>
    <message>
        <source>「%1」出现异常: %2</source>
        <translation>“%1” has a problem: %2</translation>
    </message>
    <message>
        <source>「%1」已%2天没有新的物流信息</source>
        <translation>No new tracking event for “%1” in %2 days</translation>
    </message>
    <message>
        <source>手机尾号与快递单不符,请检查</source>
        <translation>Phone digits do not match this parcel; please check</translation>
    </message>
    <message>
        <source>「%1」已有取件码%2</source>
        <translation>“%1” already has pickup code %2</translation>
    </message>
    <message>
        <source>短信说的是「%1」, 「%2」在「%3」</source>
        <translation>The message names “%1”; “%2” waits at “%3”</translation>
    </message>
    <message>
        <source>仍把取件码%1记到「%2」吗?</source>
        <translation>Record pickup code %1 for “%2” all the same?</translation>
    </message>
    <message>
        <source>取件码%1未记录..</source>
        <translation>Pickup code %1 not recorded..</translation>
    </message>
    <message>
        <source>取件码 %1 未记录; 确是这个快递请用 --id %2</source>
        <translation>Pickup code %1 not recorded; if it is this parcel, give --id %2</translation>
    </message>
    <message>
        <source>(已归档; 用 parcelio unarchive --id %1 取回)</source>
        <translation>(archived; bring it back with parcelio unarchive --id %1)</translation>
    </message>
    <message>
        <source>最接近的: %1</source>
        <translation>closest: %1</translation>
    </message>
    <message>
        <source>刷新快递列表</source>
        <translation>Refresh the parcel list</translation>
    </message>
    <message>
        <source>已下单</source>
        <translation>Label created</translation>
    </message>
    <message>
        <source>已揽收</source>
        <translation>Collected</translation>
    </message>
    <message>
        <source>已归档</source>
        <translation>Archived</translation>
    </message>
    <message>
        <source>查询服务要求暂缓,自动查询在 %1 以后</source>
        <translation>The tracking service asks to wait; the automatic query resumes after %1</translation>
    </message>
    <message>
        <source>未到查询间隔,自动查询在 %1 以后</source>
        <translation>Too soon to query again; the automatic query resumes after %1</translation>
    </message>
    <message>
        <source>查询服务没有应答</source>
        <translation>the tracking service did not answer</translation>
    </message>
    <message>
        <source>查询结果无法识别</source>
        <translation>the tracking reply could not be read</translation>
    </message>
    <message>
        <source>快递单号不存在</source>
        <translation>no such tracking number</translation>
    </message>
    <message>
        <source>数据库无法写入</source>
        <translation>the database cannot be written</translation>
    </message>
    <message>
        <source>粘贴的文字中有%1个新单号, 识别和查询最多要用掉 %2 次查询, 是否继续?</source>
        <translation>The pasted text holds %1 new tracking numbers; recognising and querying them uses up to %2 queries. Go on?</translation>
    </message>
    <message>
        <source>警告: %1 含有密钥或密码,其他用户也能读取 (chmod 600 可改正)</source>
        <translation>Warning: %1 holds a key or password that other users can read (chmod 600 fixes it)</translation>
    </message>
    <message>
        <source>查询失败 [%1] %2	%3
</source>
        <translation>query failed [%1] %2	%3
</translation>
    </message>
    <message>
        <source>找到 %1 个单号, 最多要用掉 %2 次查询; 确认后加上 --yes 再运行</source>
        <translation>Found %1 tracking numbers, using up to %2 queries; to go ahead, run again with --yes</translation>
    </message>
    <message>
        <source>单号不正确,请您检查! (单号只能是字母和数字)</source>
        <translation>Wrong tracking number, please check it! (letters and digits only)</translation>
    </message>
    <message>
        <source>已登记,等待查询服务的首次应答</source>
        <translation>Registered; waiting for the tracking service&apos;s first answer</translation>
    </message>
    <message>
        <source>查询服务的应答是另一个单号的,未保存</source>
        <translation>The tracking service answered for another number; not saved</translation>
    </message>
    <message>
        <source>查询服务今日的查询次数已用完</source>
        <translation>The tracking service&apos;s queries for today are used up</translation>
    </message>
    <message>
        <source>查询服务本月的单号额度已用完,下月或更换账号后再查</source>
        <translation>The tracking service&apos;s numbers for this month are used up; query again next month or with another account</translation>
    </message>
    <message>
        <source>查询服务认为单号格式不正确,请检查单号</source>
        <translation>The tracking service says the number is malformed; please check it</translation>
    </message>
    <message>
        <source>查询服务无法确定快递公司,请选择正确的快递公司</source>
        <translation>The tracking service cannot tell the courier; please choose the right courier</translation>
    </message>
</context>
</TS>
