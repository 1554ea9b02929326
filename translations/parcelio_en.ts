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
    <message>
        <source>快递有最新进展</source>
        <translation>Parcel news</translation>
    </message>
</context>
<context>
    <name>Notifications</name>
    <message>
        <source>快递有最新进展</source>
        <translation>Parcel news</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
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
        <translation>Time:</translation>
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
        <translation>Common:</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>快递公司（ 双击选择 ）</source>
        <translation>Courier (double-click to choose)</translation>
    </message>
    <message>
        <source>公司电话（ 右键复制 ）</source>
        <translation>Telephone (right-click to copy)</translation>
    </message>
    <message>
        <source>快递公司（双击选择）</source>
        <translation>Courier (double-click to choose)</translation>
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
</context>
</TS>
